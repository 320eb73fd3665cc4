#!/usr/bin/env bash
# regsvr32 round trips of Sirel.dll, per machine (regsvr32, regsvr32 /u) and per user
# (regsvr32 /n /i:user and /u /n /i:user), checked with `reg query`: registration writes the
# ProgID, the class, the type library and both interfaces under the scope's classes key and
# nothing under the other scope's; unregistration leaves none of it behind. Then every order of
# registering and unregistering twice, per machine, per user and mixed: each step succeeds
# (removing what is not there is no error), one scope's calls never touch the other's
# registration, and afterwards both classes keys export exactly as they did before.
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_locked "$BUILD_DIR" "$0" "$@"
sirel_wine_setup "$BUILD_DIR" || exit 1

dll="$BUILD_DIR/src/automation/Sirel.dll"
dll_windows="Z:${dll//\//\\}"
# The four GUIDs, as the build read them from Sirel.idl.
# shellcheck source=/dev/null
source "$BUILD_DIR/src/automation/generated/sirel_ids.sh" || exit 1
clsid="{$sirel_clsid}"
libid="{$sirel_libid}"
iid="{$sirel_iid}"
diid="{$sirel_diid}"
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

# The steps of the round trips: r/u = register/unregister, M/U = per machine/per user.
step() {
  case "$1" in
    rM) wine_run 60 regsvr32 /s "$dll_windows" ;;
    uM) wine_run 60 regsvr32 /s /u "$dll_windows" ;;
    rU) wine_run 60 regsvr32 /s /n /i:user "$dll_windows" ;;
    uU) wine_run 60 regsvr32 /s /u /n /i:user "$dll_windows" ;;
  esac
}

# Exports a classes key to a file; the header and the volatile Wine entries are the same on both
# sides, so the two exports compare byte for byte.
export_classes() {
  rm -f "$2"
  wine_run 120 reg export "$1" "Z:${2//\//\\}" /y >/dev/null 2>&1 || fail "reg export $1"
}

work=$(mktemp -d)
trap 'rm -rf "$work"; sirel_wine_teardown' EXIT
export_classes "$machine" "$work/machine.before"
export_classes "$user" "$work/user.before"

sequences=(
  "uM uM" "uU uU"
  "rM rM uM uM" "rU rU uU uU"
  "rM uM rM uM" "rU uU rU uU"
  "rM rU uM uU" "rM rU uU uM" "rU rM uU uM" "rU rM uM uU"
  "rM rU rM rU uU uU uM uM" "uU rM uU rU uM uM uU"
)
for sequence in "${sequences[@]}"; do
  echo "registration: round trip $sequence"
  machine_on=0
  user_on=0
  for s in $sequence; do
    step "$s" || fail "$sequence: $s returned $?"
    case "$s" in rM) machine_on=1 ;; uM) machine_on=0 ;; rU) user_on=1 ;; uU) user_on=0 ;; esac
  done
  # The last step of each sequence leaves only what the steps before it left registered.
  if [ "$machine_on" -eq 1 ]; then expect_registered "$machine"; else expect_unregistered "$machine"; fi
  if [ "$user_on" -eq 1 ]; then expect_registered "$user"; else expect_unregistered "$user"; fi
done
# Mixed scopes: unregistering one scope leaves the other's registration whole.
for pair in "rM rU uM:$user" "rU rM uU:$machine"; do
  steps="${pair%%:*}"
  kept="${pair#*:}"
  echo "registration: $steps keeps $kept"
  for s in $steps; do step "$s" || fail "$steps: $s returned $?"; done
  expect_registered "$kept"
  step uM || fail "uM returned $?"
  step uU || fail "uU returned $?"
done

export_classes "$machine" "$work/machine.after"
export_classes "$user" "$work/user.after"
for scope in machine user; do
  if ! cmp -s "$work/$scope.before" "$work/$scope.after"; then
    fail "the $scope classes key differs after the round trips:"
    diff <(iconv -f UTF-16LE -t UTF-8 "$work/$scope.before") \
      <(iconv -f UTF-16LE -t UTF-8 "$work/$scope.after") | head -40
  fi
done

if [ "$failures" -ne 0 ]; then
  echo "registration: $failures check(s) failed"
  exit 1
fi
echo "registration: all round trips clean"
