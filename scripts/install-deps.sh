#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing.
# Runs as root (or through sudo); does nothing when everything is there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$here/packages.txt")
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "== packages: all ${#wanted[@]} present"
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "error: missing packages (${missing[*]}) and no root rights to install them" >&2; exit 1; }
  sudo="sudo"
fi
echo "== installing ${#missing[@]} Debian packages: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
