#!/usr/bin/env bash
# demo-server.sh <program-folder> <demo-folder>: runs the program in a demo folder of its own
# beside the demo page server, and leaves the program folder as it is.
# The program reads its data files from the folder of its executable, so the demo folder gets a
# copy of the executable and of the pictures and help file it loads (renewed when the build
# changed them), and data files of its own: the default ones the first time, kept afterwards with
# the demo's races, horses, notes and settings. The server serves the demo world (today's races
# at three tracks, histories, past results) on 127.0.0.1, points webHost in the demo folder's
# Strevin.ini at itself unless the user has set another host there, and gives the demo folder's
# empty track files the world's standard times and variants (and the track file its edition); it
# stops when the program ends. The folders the administration tools write into are made in the
# demo folder, so that the demo can try them. The data-file tool and the server are looked for in
# tools/ beside the program folder.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
program="$(cd "$1" && pwd)"
demo="$2"
tools="$(dirname "$program")/tools"
mkdir -p "$demo" "$demo/予想出力" "$demo/予想" "$demo/情報ファイル"
files=(brennock Strevin.chm)
for image in "$top"/resources/images/*; do
  files+=("$(basename "$image")")
done
for file in "${files[@]}"; do
  if ! cmp -s "$program/$file" "$demo/$file"; then
    # A new file in place of the old one, so that a copy of the program still running keeps its own.
    cp -p "$program/$file" "$demo/.$file.new"
    mv -f "$demo/.$file.new" "$demo/$file"
  fi
done
"$tools/makedata" "$top/resources/schema" "$demo" >/dev/null
started="$(mktemp)"
"$tools/demoServer" --ini "$demo/Strevin.ini" --data "$demo" >"$started" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -f "$started"' EXIT
for _ in $(seq 50); do
  [ -s "$started" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -s "$started" ]; then
  echo "Demo pages at $(head -1 "$started"), the demo's program folder $demo: pick today's date, 大井, 川崎 or 園田 and a race, and press 出馬表の読込み."
fi
"$demo/brennock"
