#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need (scripts/packages.txt).
set -euo pipefail
cd "$(dirname "$0")"
mapfile -t wanted < <(grep -v '^\s*\(#\|$\)' packages.txt)
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
