#!/usr/bin/env bash
# Builds the program and its data-file tool (not the tests and benchmarks), puts the default data
# files and Strevin.ini into the program folder (existing ones are kept) and starts the demo: a
# copy of the program in a folder of its own beside the demo page server (scripts/demo-server.sh),
# so that the program folder holds nothing of the demo.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "start.sh: no display to open Brennock's windows on (DISPLAY and WAYLAND_DISPLAY are not set); run it on a desktop or under Xvfb." >&2
  exit 1
fi
"$top/scripts/build.sh" brennock makedata demoServer
exec "$top/scripts/demo-server.sh" "$top/build/program" "$top/build/demo"
