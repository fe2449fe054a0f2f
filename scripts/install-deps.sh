#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages of scripts/packages.txt that are missing, and
# generates the locales the tests run in (scripts/test.sh runs the suite in
# the users' Russian locale too) when the system lacks them. Runs as root, or
# through sudo when that needs no password; it never asks anything. Does
# nothing when everything is there.
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

# The users' locale, and an English one the tests set beside it. `locale -a`
# spells them in its own way ("ru_RU.utf8").
wanted_locales=(ru_RU.UTF-8 en_US.UTF-8)
spelled() { tr 'A-Z' 'a-z' | tr -d -- '-'; }
missing_locales=()
for l in "${wanted_locales[@]}"; do
  locale -a 2>/dev/null | spelled | grep -qx -- "$(spelled <<<"$l")" || missing_locales+=("$l")
done

if [ ${#missing[@]} -eq 0 ] && [ ${#missing_locales[@]} -eq 0 ]; then
  echo "== packages: all ${#wanted[@]} present; locales ${wanted_locales[*]} present"
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    as_root=(sudo -n)
  else
    cat >&2 <<MSG
error: Debian packages or locales are missing, and installing them needs root rights:
           ${missing[*]} ${missing_locales[*]}
       Install them once as root with
           sudo $here/install-deps.sh
       (without sudo: su -c $here/install-deps.sh), then run your command again.
MSG
    exit 1
  fi
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing ${#missing[@]} Debian packages: ${missing[*]}"
  # No questions from debconf, and on a fresh machine wait for an automatic
  # update that holds the package lock instead of failing at once.
  apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
  "${apt[@]}" update -qq ||
    fail "apt-get update failed: check the network and the sources in /etc/apt/sources.list"
  "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" ||
    fail "apt-get could not install: ${missing[*]}"
fi

if [ ${#missing_locales[@]} -gt 0 ]; then
  echo "== generating the locales ${missing_locales[*]}"
  # Enabled in /etc/locale.gen as Debian keeps them, so that an upgrade of the
  # C library generates them again.
  for l in "${missing_locales[@]}"; do
    entry="$l ${l#*.}"
    if grep -qx -- "#* *$entry" /etc/locale.gen 2>/dev/null; then
      "${as_root[@]}" sed -i -e "s/^#* *$entry\$/$entry/" /etc/locale.gen
    else
      echo "$entry" | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
    fi
  done
  "${as_root[@]}" locale-gen >/dev/null || fail "locale-gen could not generate ${missing_locales[*]}"
fi
