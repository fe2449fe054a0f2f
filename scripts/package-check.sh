#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as Debian judges it: makes it in the build folder
# (`cpack -G DEB`, in a folder scripts/build.sh configured) and runs lintian on it. Any error
# (E:) or warning (W:) fails; informational tags are only printed. Also checks
# that the manual pages, the machine-readable copyright file, the changelog and
# the user's manual are in it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${O5_BUILD_DIR:-$root/build}
cd "$build"
# cpack installs what is built and builds nothing itself: what goes into the
# package is brought up to date first (nothing to do after scripts/build.sh).
cmake --build . --target ortan5 ortan5-heatersim o5_icons o5_catalogs o5_manual o5_debian_files >build-package.log 2>&1 ||
  { cat build-package.log >&2; echo "error: building what the package holds failed (log above)" >&2; exit 1; }
rm -f ortan5_*.deb
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log >&2; echo "error: cpack -G DEB failed (log above)" >&2; exit 1; }
deb=$(ls ortan5_*.deb)
echo "== $build/$deb"
status=0
contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
for file in usr/share/man/man1/ortan5.1.gz usr/share/man/man1/ortan5-heatersim.1.gz \
            usr/share/doc/ortan5/copyright usr/share/doc/ortan5/changelog.gz usr/share/doc/ortan5/manual.ru.html \
            usr/share/doc/ortan5/manual.en.html \
            usr/share/ortan5/locale/ru/LC_MESSAGES/default.mo usr/share/ortan5/locale/ru/LC_MESSAGES/cport.mo; do
  grep -qx "\./$file" <<<"$contents" || { echo "error: the package lacks /$file" >&2; status=1; }
done
# The catalogs' domain names are generic: in the system's locale folder they
# would clash with other packages'.
if grep -q '^\./usr/share/locale/' <<<"$contents"; then
  echo "error: the package puts files into /usr/share/locale" >&2
  status=1
fi
format=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/ortan5/copyright 2>/dev/null | head -n 1 || true)
[ "$format" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
  { echo "error: the copyright file is not in the machine-readable format: '$format'" >&2; status=1; }
# lintian's own note about running as root goes to its standard error.
report=$(lintian --display-info "$deb" 2>/dev/null) || true
[ -z "$report" ] || echo "$report"
if grep -q '^[EW]:' <<<"$report"; then
  echo "error: lintian reports errors or warnings (E:, W: above)" >&2
  status=1
fi
[ "$status" -eq 0 ] && echo "== the package passes lintian: no errors, no warnings"
exit "$status"
