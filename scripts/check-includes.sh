#!/usr/bin/env bash
# Fails when an include in src/ runs upward through the layers (docs/architecture.md):
#   core/                         may include core/ only;
#   platform/ (the ports)         may include core/ and platform/ ports, never an implementation;
#   platform/memory/              may include core/ and platform/;
#   thread/                       may include core/, platform/ ports and thread/;
#   poster/, window/              may include core/, platform/ ports, thread/ and their own folder;
#   win32/                        may include everything but automation/;
#   automation/                   is the top.
# The portable layers (everything but win32/ and automation/) include no Windows header.
# No two files of src/ share a base name, and none has more than 300 lines.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/src"

failures=0
# allowed FOLDER PATTERN: every quoted include under FOLDER must match PATTERN (an ERE on the path).
check() {
  local folder="$1" allowed="$2" files
  files=$(find "$folder" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \))
  [ -n "$files" ] || return 0
  while IFS=: read -r file line text; do
    local path
    path=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$text")
    if ! grep -Eq "^($allowed)" <<<"$path"; then
      echo "  FAIL: src/$file:$line includes \"$path\" (upward from $folder/)"
      failures=$((failures + 1))
    fi
  done < <(grep -Hn '^#include "' $files)
}

ports='core/|platform/[a-zA-Z_]+\.h$'
check core 'core/'
check platform "$ports"
check platform/memory 'core/|platform/'
check thread "$ports|thread/"
check poster "$ports|thread/|poster/"
check window "$ports|thread/|window/"
check win32 'core/|platform/|thread/|poster/|window/|win32/|resource_ids\.h$|window_resources\.rc$'

while IFS= read -r hit; do
  echo "  FAIL: src/$hit (a Windows header in a portable layer)"
  failures=$((failures + 1))
done < <(grep -rnE '^#include <(windows|winuser|windef|ole2|oleauto|objbase|commdlg)\.h>' \
           core platform thread poster window)

# Each file is named for what it holds, so no two files of src/ share a base name; none grows
# past 300 lines.
while IFS= read -r name; do
  echo "  FAIL: more than one src/**/$name"
  failures=$((failures + 1))
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%f\n' | sort | uniq -d)
while read -r lines file; do
  [ "$file" = total ] && continue
  if [ "$lines" -gt 300 ]; then
    echo "  FAIL: src/${file#./} has $lines lines (at most 300)"
    failures=$((failures + 1))
  fi
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) -exec wc -l {} +)

if [ "$failures" -ne 0 ]; then
  echo "include check: $failures failure(s)"
  exit 1
fi
echo "include check: every include in src/ points downward; file names unique, none over 300 lines"
