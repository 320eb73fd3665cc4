#!/usr/bin/env bash
# Static checks: the include layers of src/ (scripts/check-includes.sh), then the two Sirel.dll
# builds, read with the MinGW binutils (nothing runs):
#   - machine type (x86: pei-i386, x64: pei-x86-64) and the DLL flag;
#   - exports: DllCanUnloadNow, DllGetClassObject, DllRegisterServer, DllUnregisterServer at
#     ordinals 1 to 4, DllInstall at 5, and nothing else;
#   - imports: Windows' own DLLs only (everything else is linked statically);
#   - resources: the version resource as specified, the icon, and the names of the type library
#     and GUID resources;
#   - the type library's contents: the library and its three types with their flags, versions
#     and GUIDs (as the build read them from Sirel.idl), and no invented parameter names.
# The resources' bytes are checked by the COM tests under Wine (tests/com/dll_resources_test.cpp
# loads both DLLs as data files), which also read both type libraries back through ITypeLib.
#
#   scripts/static-checks.sh [x86-build-dir] [x64-build-dir]   (default build/win32 build/win64)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
x86_dir="${1:-$root/build/win32}"
x64_dir="${2:-$root/build/win64}"

allowed_imports='kernel32.dll user32.dll gdi32.dll advapi32.dll ole32.dll oleaut32.dll comctl32.dll comdlg32.dll shell32.dll msvcrt.dll'

check_indent="  "
# shellcheck source=scripts/lib/checks.sh
source "$root/scripts/lib/checks.sh"

check_dll() {
  local arch="$1" dir="$2" format="$3" triple="$4" syskind="$5"
  local dll="$dir/src/automation/Sirel.dll"
  local objdump="$triple-objdump" windres="$triple-windres"
  echo "== $arch: $dll"
  if [ ! -f "$dll" ]; then
    fail "no DLL (build the $arch preset first)"
    return
  fi

  local headers
  headers=$("$objdump" -p "$dll")
  if "$objdump" -f "$dll" | grep -q "file format $format\$"; then pass "machine type $format"; else fail "not $format"; fi
  if grep -qE '^\s+DLL$' <<<"$headers"; then pass "DLL image"; else fail "not flagged as a DLL"; fi

  # Exports: the name table lists "[ordinal - base] name"; the base is 1.
  local base exports expected_exports
  base=$(awk '/^Ordinal Base/ { print $3; exit }' <<<"$headers")
  exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" |
    sed -nE 's/^\s+\[ *([0-9]+)\] (.+)$/\1 \2/p' | while read -r index name; do echo "$((index + base)) $name"; done | sort -n)
  expected_exports=$'1 DllCanUnloadNow\n2 DllGetClassObject\n3 DllRegisterServer\n4 DllUnregisterServer\n5 DllInstall'
  if [ "$exports" = "$expected_exports" ]; then pass "exports and ordinals"; else fail "exports: $(tr '\n' ',' <<<"$exports")"; fi

  local imports name bad=""
  imports=$(sed -nE 's/^\s+DLL Name: (.+)$/\1/p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
  for name in $imports; do
    grep -qw -- "$name" <<<"$allowed_imports" || bad="$bad $name"
  done
  if [ -z "$bad" ]; then pass "imports only Windows DLLs: $(tr '\n' ' ' <<<"$imports")"; else fail "imports$bad"; fi

  # Resources, and the GUIDs the build read from Sirel.idl.
  local tlb="$dir/src/automation/generated/Sirel.tlb"
  local libid="" clsid="" iid="" diid=""
  read_sirel_ids "$dir" || fail "no generated sirel_ids.sh"
  local rc
  rc=$("$windres" -i "$dll" -O rc 2>/dev/null | grep -v '^  0x')
  local line
  local version_lines=(
    'LANGUAGE 9, 1' '1 VERSIONINFO' ' FILEVERSION 1, 1, 0, 1' ' PRODUCTVERSION 1, 1, 0, 1'
    ' FILEOS 0x4' ' FILETYPE 0x2' 'BLOCK "040904B0"'
    'VALUE "ProductName", "Sireler"' 'VALUE "InternalName", "Sirel"'
    'VALUE "OriginalFilename", "Sirel.dll"' 'VALUE "FileVersion", "1.01.0001"'
    'VALUE "ProductVersion", "1.01.0001"' 'VALUE "OLESelfRegister", ""'
    'VALUE "Translation", 0x409, 1200' '1 "TYPELIB"' '1 "_IID_SIRELER"' '1 "_SRCIID_SIRELER"'
    '14 /* RT_GROUP_ICON */')
  local missing=""
  for line in "${version_lines[@]}"; do
    grep -qF -- "$line" <<<"$rc" || missing="$missing [$line]"
  done
  # No file flags: windres prints FILEFLAGS only when there are some.
  grep -q 'FILEFLAGS ' <<<"$rc" && missing="$missing [no FILEFLAGS]"
  if [ -z "$missing" ]; then pass "version resource and icon"; else fail "resources lack$missing"; fi

  # The type library's contents.
  local listing
  listing=$("$dir/src/automation/patch_typelib" --list "$tlb" 2>&1)
  local expected_types=(
    "library syskind=$syskind version=17.0 lcid=0 names=0x0409 flags=0x0"
    "0 _Sireler     kind=4 flags=0x11D0 version=1.0 $iid"
    "1 Sireler      kind=5 flags=0x0002 version=1.0 $clsid"
    "2 __Sireler    kind=4 flags=0x1090 version=1.0 $diid")
  missing=""
  for line in "${expected_types[@]}"; do
    grep -qxF -- "$line" <<<"$listing" || missing="$missing [$line]"
  done
  grep -q 'parameter a,' <<<"$listing" && missing="$missing [an invented parameter name]"
  if [ "$(grep -c 'parameter' <<<"$listing")" -ne 45 ]; then missing="$missing [45 parameters]"; fi
  if [ -z "$missing" ]; then pass "type library Sirel 17.0 $libid: three types, flags, versions"; else fail "type library lacks$missing"; fi
}

echo "== layers"
if bash "$root/scripts/check-includes.sh"; then pass "includes point downward"; else fail "an include runs upward"; fi

echo "== samples"
if python3 "$root/tests/samples/check_samples.py" "$root/src/automation/Sirel.idl" "$root/samples"; then
  pass "VBA and PowerShell samples use the type library's exact names"
else
  fail "a sample names what the type library does not have"
fi
if node "$root/tests/samples/parse_powershell.cjs" "$root/build/node/node_modules" \
     "$root/samples/powershell/hello.ps1"; then
  pass "the PowerShell sample parses (tree-sitter PowerShell grammar)"
else
  fail "the PowerShell sample does not parse"
fi

check_dll x86 "$x86_dir" pei-i386 i686-w64-mingw32 1
check_dll x64 "$x64_dir" pei-x86-64 x86_64-w64-mingw32 3

finish "static checks" "all passed"
