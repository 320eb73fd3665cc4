#!/usr/bin/env bash
# regsvr32 round trips of Sirel.dll, per machine (regsvr32, regsvr32 /u) and per user
# (regsvr32 /n /i:user and /u /n /i:user), checked with `reg query`: registration writes the
# ProgID, the class, the type library and both interfaces under the scope's classes key and
# nothing under the other scope's; unregistration leaves none of it behind.
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_setup "$BUILD_DIR" || exit 1

dll="$BUILD_DIR/src/automation/Sirel.dll"
dll_windows="Z:${dll//\//\\}"
clsid='{8C1FA160-AD28-4CC5-82C6-C15C7B1E9D09}'
libid='{896D9669-E9B1-4E03-9C71-1B9631916482}'
iid='{154C7CB1-C9C8-4866-A3A1-E7A924DF042C}'
diid='{BA612C32-3582-4D33-AA99-1F611092509D}'
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# query KEY [PATTERN...]: the key exists and its listing (with subkeys) matches every pattern.
expect_key() {
  local key="$1"
  shift
  local listing
  if ! listing=$(wine_run 60 reg query "$key" /s 2>&1); then
    fail "missing $key"
    return
  fi
  local pattern
  for pattern in "$@"; do
    grep -qiF -- "$pattern" <<<"$listing" || fail "$key lacks '$pattern'"
  done
}

expect_no_key() {
  if wine_run 60 reg query "$1" >/dev/null 2>&1; then fail "left behind: $1"; fi
}

# The entries of one scope, "HKLM\Software\Classes" or "HKCU\Software\Classes".
expect_registered() {
  local classes="$1"
  expect_key "$classes\\Sirel.Sireler" "$clsid"
  expect_key "$classes\\CLSID\\$clsid" "$dll_windows" "ThreadingModel    REG_SZ    Apartment" \
    "ProgID" "Sirel.Sireler" "$libid"
  # Type library 17.0 (a hexadecimal key), locale 0, this DLL.
  expect_key "$classes\\TypeLib\\$libid\\11.0" "Sirel" "\\11.0\\0\\win64" "$dll_windows"
  # The dual interface goes through the type library marshaller, the event interface through
  # the dispatch marshaller.
  expect_key "$classes\\Interface\\$iid" "{00020424-0000-0000-C000-000000000046}" "$libid"
  expect_key "$classes\\Interface\\$diid" "{00020420-0000-0000-C000-000000000046}" "$libid"
}

expect_unregistered() {
  local classes="$1"
  expect_no_key "$classes\\Sirel.Sireler"
  expect_no_key "$classes\\CLSID\\$clsid"
  expect_no_key "$classes\\TypeLib\\$libid"
  expect_no_key "$classes\\Interface\\$iid"
  expect_no_key "$classes\\Interface\\$diid"
}

machine='HKLM\Software\Classes'
user='HKCU\Software\Classes'

echo "registration: per machine"
wine_run 60 regsvr32 /s "$dll_windows" || fail "regsvr32 returned $?"
expect_registered "$machine"
expect_unregistered "$user"
wine_run 60 regsvr32 /s /u "$dll_windows" || fail "regsvr32 /u returned $?"
expect_unregistered "$machine"

echo "registration: per user"
wine_run 60 regsvr32 /s /n /i:user "$dll_windows" || fail "regsvr32 /n /i:user returned $?"
expect_registered "$user"
expect_unregistered "$machine"
wine_run 60 regsvr32 /s /u /n /i:user "$dll_windows" || fail "regsvr32 /u /n /i:user returned $?"
expect_unregistered "$user"

if [ "$failures" -ne 0 ]; then
  echo "registration: $failures check(s) failed"
  exit 1
fi
echo "registration: all round trips clean"
