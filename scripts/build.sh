#!/usr/bin/env bash
# Installs what is missing and builds into build/ (the program folder is build/program): the
# targets given as arguments, or everything.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$top/build" --parallel "$(nproc)" --target "$@"
else
  cmake --build "$top/build" --parallel "$(nproc)"
fi
