#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing.
# Runs as root, or through sudo when that needs no password; it never asks
# anything. Does nothing when everything is there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

fail() {
  echo "error: $*" >&2
  exit 1
}

command -v dpkg-query >/dev/null && command -v apt-get >/dev/null ||
  fail "this script installs Debian packages (Debian 12); on another system install the
       equivalents of the packages listed in $here/packages.txt and run the script again"

mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$here/packages.txt")
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "== packages: all ${#wanted[@]} present"
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    as_root=(sudo -n)
  else
    cat >&2 <<MSG
error: ${#missing[@]} Debian packages are missing, and installing them needs root rights:
           ${missing[*]}
       Install them once as root with
           sudo $here/install-deps.sh
       (without sudo: su -c $here/install-deps.sh), then run your command again.
MSG
    exit 1
  fi
fi

echo "== installing ${#missing[@]} Debian packages: ${missing[*]}"
# No questions from debconf, and on a fresh machine wait for an automatic
# update that holds the package lock instead of failing at once.
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
"${apt[@]}" update -qq ||
  fail "apt-get update failed: check the network and the sources in /etc/apt/sources.list"
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" ||
  fail "apt-get could not install: ${missing[*]}"
