#!/usr/bin/env bash
# demo-server.sh <program>: runs the program beside the demo page server. The server serves
# today's race 11 at 大井 (race card, histories, results) on 127.0.0.1 and points webHost in the
# program folder's Strevin.ini at itself, unless the user has set another host there; it stops
# when the program ends.
set -euo pipefail
program="$1"
folder="$(dirname "$program")"
server="$(cd "$folder/.." && pwd)/tools/demoServer"
started="$(mktemp)"
"$server" --ini "$folder/Strevin.ini" --track-file "$folder/Strevin_data.dat" >"$started" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -f "$started"' EXIT
for _ in $(seq 50); do
  [ -s "$started" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -s "$started" ]; then
  echo "Demo pages at $(head -1 "$started"): pick today's date, 大井, race 11 and press 出馬表の読込み."
fi
"$program"
