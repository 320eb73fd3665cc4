#!/usr/bin/env bash
# regsvr32 round trips of the build's Sirel.dll (x64 or x86, run with that build's regsvr32),
# per machine (regsvr32, regsvr32 /u) and per user (regsvr32 /n /i:user and /u /n /i:user),
# checked with `reg query`: registration writes the ProgID, the build's class key, its win32 or
# win64 entry of the type library and both interfaces under the scope's classes key and nothing
# under the other scope's; unregistration leaves none of it behind, in either registry view.
# Then every order of registering and unregistering twice, per machine, per user and mixed:
# each step succeeds (removing what is not there is no error), one scope's calls never touch
# the other's registration, and afterwards both classes keys export exactly as they did before.
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_locked "$BUILD_DIR" "$0" "$@"
sirel_wine_setup "$BUILD_DIR" || exit 1
# shellcheck source=tests/wine.d/lib/registry-checks.sh
source "$root/tests/wine.d/lib/registry-checks.sh" || exit 1

arch="$SIREL_ARCH"
dll="$BUILD_DIR/src/automation/Sirel.dll"
dll_windows=$(windows_path "$dll")

echo "registration [$arch]: per machine"
wine_run 60 regsvr32 /s "$dll_windows" || fail "regsvr32 returned $?"
expect_registered "$arch" "$machine" "$dll"
expect_nothing_left "$user"
wine_run 60 regsvr32 /s /u "$dll_windows" || fail "regsvr32 /u returned $?"
expect_nothing_left "$machine"

echo "registration [$arch]: per user"
wine_run 60 regsvr32 /s /n /i:user "$dll_windows" || fail "regsvr32 /n /i:user returned $?"
expect_registered "$arch" "$user" "$dll"
expect_nothing_left "$machine"
wine_run 60 regsvr32 /s /u /n /i:user "$dll_windows" || fail "regsvr32 /u /n /i:user returned $?"
expect_nothing_left "$user"

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
  wine_run 120 reg export "$1" "$(windows_path "$2")" /y >/dev/null 2>&1 || fail "reg export $1"
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
  echo "registration [$arch]: round trip $sequence"
  machine_on=0
  user_on=0
  for s in $sequence; do
    step "$s" || fail "$sequence: $s returned $?"
    case "$s" in rM) machine_on=1 ;; uM) machine_on=0 ;; rU) user_on=1 ;; uU) user_on=0 ;; esac
  done
  # The last step of each sequence leaves only what the steps before it left registered.
  if [ "$machine_on" -eq 1 ]; then expect_registered "$arch" "$machine" "$dll"; else expect_nothing_left "$machine"; fi
  if [ "$user_on" -eq 1 ]; then expect_registered "$arch" "$user" "$dll"; else expect_nothing_left "$user"; fi
done
# Mixed scopes: unregistering one scope leaves the other's registration whole.
for pair in "rM rU uM:$user" "rU rM uU:$machine"; do
  steps="${pair%%:*}"
  kept="${pair#*:}"
  echo "registration [$arch]: $steps keeps $kept"
  for s in $steps; do step "$s" || fail "$steps: $s returned $?"; done
  expect_registered "$arch" "$kept" "$dll"
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

finish "registration [$arch]" "all round trips clean"
