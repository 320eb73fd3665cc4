#!/usr/bin/env bash
# Fails when an include in src/ runs upward through the layers (docs/architecture.md):
#   core/, platform/ (the ports)  may include core/ and platform/ ports, never an implementation;
#   platform/memory/              may include core/ and platform/;
#   poster/, window/              may include core/, platform/ ports and their own folder;
#   win32/                        may include everything but automation/;
#   automation/                   is the top.
# The portable layers (everything but win32/ and automation/) include no Windows header.
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
check core "$ports"
check platform "$ports"
check platform/memory 'core/|platform/'
check poster "$ports|poster/"
check window "$ports|window/"
check win32 'core/|platform/|poster/|window/|win32/|resource_ids\.h$|window_resources\.rc$'

while IFS= read -r hit; do
  echo "  FAIL: src/$hit (a Windows header in a portable layer)"
  failures=$((failures + 1))
done < <(grep -rnE '^#include <(windows|winuser|windef|ole2|oleauto|objbase|commdlg)\.h>' \
           core platform poster window)

if [ "$failures" -ne 0 ]; then
  echo "include check: $failures upward include(s)"
  exit 1
fi
echo "include check: every include in src/ points downward"
