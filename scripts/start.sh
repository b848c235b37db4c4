#!/usr/bin/env bash
# Builds the program, creates its default data files in the program folder and starts it beside the
# demo page server (scripts/demo-server.sh).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/build.sh"
exec "$top/scripts/demo-server.sh" "$top/build/program/brennock"
