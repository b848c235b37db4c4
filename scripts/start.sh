#!/usr/bin/env bash
# Builds the program, creates its default data files in the program folder and starts it.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/build.sh"
exec "$top/build/program/brennock"
