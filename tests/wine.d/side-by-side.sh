#!/usr/bin/env bash
# The x64 and the x86 Sirel.dll side by side in one 64-bit prefix, as a user with 64-bit and
# 32-bit hosts has them: both registered (each with its own regsvr32), per machine and per user.
# Unregistering either one first leaves the other fully working: its ProgID, class key, type
# library entry and interface keys stay, and (per machine) its cscript still creates a poster
# from its own DLL while the other's cscript no longer can. The last one out leaves nothing.
#
# Runs once, in the x64 run, with the x86 DLL of the sibling build (build/win32 next to
# build/win64, or SIREL_X86_BUILD); it is skipped, loudly, when this machine runs no 32-bit
# programs (scripts/probe-x86.sh).
# Per user, creation is not tried: Wine 8's class lookup reads only the machine's classes, so a
# per-user registration is checked in the registry alone.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_locked "$BUILD_DIR" "$0" "$@"
sirel_wine_setup "$BUILD_DIR" || exit 1
if [ "$SIREL_ARCH" != x64 ]; then
  echo "side-by-side [$SIREL_ARCH]: runs in the x64 run, which registers both builds"
  exit 0
fi
if ! reason=$(bash "$root/scripts/probe-x86.sh" --skipping "side-by-side"); then
  echo "side-by-side [x64+x86]: SKIPPED: $reason"
  exit 0
fi
# shellcheck source=tests/wine.d/lib/registry-checks.sh
source "$root/tests/wine.d/lib/registry-checks.sh" || exit 1

x86_build=$(cd "${SIREL_X86_BUILD:-$BUILD_DIR/../win32}" 2>/dev/null && pwd) || x86_build="$BUILD_DIR/../win32"
declare -A dll=([x64]="$BUILD_DIR/src/automation/Sirel.dll" [x86]="$x86_build/src/automation/Sirel.dll")
if [ ! -f "${dll[x86]}" ]; then
  echo "side-by-side [x64+x86]: ${dll[x86]} is missing (build the win32 preset)"
  exit 1
fi
other() { if [ "$1" = x86 ]; then echo x64; else echo x86; fi; }

# regsvr ARCH SCOPE [/u]: registers (or unregisters) that build's DLL in the scope.
regsvr() {
  local arch="$1" scope="$2"
  shift 2
  local flags=(/s "$@")
  [ "$scope" = "$user" ] && flags+=(/n /i:user)
  timeout -k 10 60 "$(loader_of "$arch")" regsvr32 "${flags[@]}" "$(windows_path "${dll[$arch]}")" ||
    fail "[$arch] regsvr32 ${flags[*]} returned $?"
}

for scope in "$machine" "$user"; do
  for first in x86 x64; do
    last=$(other "$first")
    echo "side-by-side [x64+x86]: $scope, both registered, then $first unregistered first"
    regsvr x64 "$scope"
    regsvr x86 "$scope"
    for arch in x64 x86; do
      expect_registered "$arch" "$scope" "${dll[$arch]}"
      [ "$scope" = "$machine" ] && expect_creation "$arch" yes
    done
    regsvr "$first" "$scope" /u
    expect_own_keys_gone "$first" "$scope"
    expect_registered "$last" "$scope" "${dll[$last]}"
    if [ "$scope" = "$machine" ]; then
      expect_creation "$last" yes
      expect_creation "$first" no
    fi
    regsvr "$last" "$scope" /u
    expect_nothing_left "$scope"
  done
done

finish "side-by-side [x64+x86]" "both orders clean, per machine and per user"
