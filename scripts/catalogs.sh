#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The catalogs of the tool's own texts, locale/ortan5_en.ts (every text) and
# locale/ortan5_ru.ts (the Russian plural forms only), kept in step with the
# texts marked in the code.
#   scripts/catalogs.sh update   brings both up to date (new texts come in
#                                unfinished; gone ones leave)
#   scripts/catalogs.sh check    fails when an update would change either, or
#                                when the English catalog has an unfinished text
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
[ -x "$lupdate" ] || lupdate=/usr/lib/qt6/bin/lupdate
# Where texts are written: every folder of the tool's code. Texts of the
# plain cores are marked with O5_TEXT and translated with o5::Translate.
folders=(app archive chart heater link ui settings remote)
options=(-silent -I "$root" -locations none -no-obsolete -no-ui-lines -source-language ru
         -tr-function-alias "translate+=Translate,QT_TRANSLATE_NOOP+=O5_TEXT" -extensions cpp,h)

update() {
  local into=$1
  (cd "$root" && "$lupdate" "${options[@]}" -target-language en "${folders[@]}" -ts "$into/ortan5_en.ts")
  (cd "$root" && "$lupdate" "${options[@]}" -pluralonly -target-language ru "${folders[@]}" -ts "$into/ortan5_ru.ts")
}

case "${1:-}" in
  update)
    update "$root/locale"
    ;;
  check)
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$root/locale/ortan5_en.ts" "$root/locale/ortan5_ru.ts" "$work/"
    update "$work"
    status=0
    for ts in ortan5_en.ts ortan5_ru.ts; do
      if ! diff -u "$root/locale/$ts" "$work/$ts" >&2; then
        echo "error: locale/$ts is not in step with the texts in the code; run scripts/catalogs.sh update" >&2
        status=1
      fi
    done
    if grep -q 'type="unfinished"' "$root/locale/ortan5_en.ts"; then
      echo "error: locale/ortan5_en.ts has texts without their English translation:" >&2
      grep -B2 'type="unfinished"' "$root/locale/ortan5_en.ts" | grep '<source>' >&2 || true
      status=1
    fi
    exit "$status"
    ;;
  *)
    echo "usage: scripts/catalogs.sh update|check" >&2
    exit 2
    ;;
esac
