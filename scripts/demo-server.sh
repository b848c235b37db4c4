#!/usr/bin/env bash
# demo-server.sh <program>: runs the program beside the demo page server. The server serves the
# demo world (today's races at three tracks, histories, past results) on 127.0.0.1 and points
# webHost in the program folder's Strevin.ini at itself, unless the user has set another host
# there; it stops when the program ends. The folders the administration tools write into are made
# in the program folder, so that the demo can try them.
set -euo pipefail
program="$1"
folder="$(dirname "$program")"
server="$(cd "$folder/.." && pwd)/tools/demoServer"
mkdir -p "$folder/予想出力" "$folder/予想" "$folder/情報ファイル"
started="$(mktemp)"
"$server" --ini "$folder/Strevin.ini" --data "$folder" >"$started" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -f "$started"' EXIT
for _ in $(seq 50); do
  [ -s "$started" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -s "$started" ]; then
  echo "Demo pages at $(head -1 "$started"): pick today's date, 大井, 川崎 or 園田 and a race, and press 出馬表の読込み."
fi
"$program"
