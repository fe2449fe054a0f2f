#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file of the tool, the simulator, the tests and the scripts
# names its licence in its first lines.
set -u
root=${1:?usage: licence_headers.sh <source folder>}
cd "$root" || exit 2
missing=0
while IFS= read -r -d '' f; do
  head -n 3 "$f" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later' || { echo "no licence line: $f"; missing=1; }
done < <(find . \( -path ./build -o -path './build-*' -o -path ./.git -o -path ./Testing \) -prune -o \
              -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.py' -o -name '*.cmake' \
                         -o -name CMakeLists.txt -o -path ./.ci/run \) -print0)
[ "$missing" -eq 0 ] && echo "every source file names its licence"
exit "$missing"
