#!/usr/bin/env bash
# Both installers of dist/ side by side, per machine (ALLUSERS=1), as a user with 64-bit and
# 32-bit hosts has them: with both installed, each bitness's cscript creates a poster; removing
# either one first leaves the other bitness working (its cscript still creates a poster, the
# type library's version key keeps its name, FLAGS and HELPDIR, which both packages share
# through one component) while the removed one's cscript no longer can; removing the second
# leaves both classes keys, Program Files and the list of installed programs as before.
# Skipped, loudly, where this machine runs no 32-bit programs (scripts/probe-x86.sh).
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported), in the x64 run.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/wine.d/lib/release-checks.sh
source "$root/tests/wine.d/lib/release-checks.sh"
release_setup release-side-by-side "$@"
if ! reason=$(bash "$root/scripts/probe-x86.sh" --skipping "release-side-by-side"); then
  echo "release-side-by-side: SKIPPED: $reason"
  exit 0
fi
# shellcheck source=tests/wine.d/lib/registry-checks.sh
source "$root/tests/wine.d/lib/registry-checks.sh" || exit 1

declare -A msi=([x64]="$root/dist/Sirel-$version-x64.msi" [x86]="$root/dist/Sirel-$version-x86.msi")
other() { if [ "$1" = x86 ]; then echo x64; else echo x86; fi; }
msiexec() {
  wine_run 180 msiexec "$1" "$(windows_path "${msi[$2]}")" ALLUSERS=1 /qn || fail "msiexec $1 of the $2 package returned $?"
}
programs_listing() {
  (cd "$WINEPREFIX/drive_c" && find "Program Files" "Program Files (x86)" 2>/dev/null | sort)
  wine_run 60 uninstaller --list 2>/dev/null | tr -d '\r' | grep 'Sirel' || true
}

# The shared component: one row, the same in both packages, 32-bit (attributes 4: no 64-bit
# bit, a registry key path).
shared_x64=$(msiinfo export "${msi[x64]}" Component | tr -d '\r' | grep '^SirelTypeLibVersion')
shared_x86=$(msiinfo export "${msi[x86]}" Component | tr -d '\r' | grep '^SirelTypeLibVersion')
[ -n "$shared_x64" ] && [ "$shared_x64" = "$shared_x86" ] && [ "$(cut -f4 <<<"$shared_x64")" = 4 ] \
  || fail "the shared component differs or is not 32-bit: '$shared_x64' / '$shared_x86'"

prepare_user_classes
warm_up_script_host
WINE=$WINE32 warm_up_script_host
# The installer's own keys, which every Windows has (release-installer.sh says why).
for key in Features Products UpgradeCodes; do
  wine_run 60 reg add "HKLM\\Software\\Classes\\Installer\\$key" /f >/dev/null 2>&1 || fail "reg add $key"
done
export_classes "$work/user-before.reg" "$work/machine-before.reg"
programs_listing >"$work/programs-before.txt"

for first in x64 x86; do
  last=$(other "$first")
  echo "release-side-by-side: both installed per machine, then the $first package removed first"
  msiexec /i x64
  msiexec /i x86
  expect_creation x64 yes
  expect_creation x86 yes
  msiexec /x "$first"
  expect_creation "$last" yes
  expect_creation "$first" no
  expect_key "$last" "$machine\\TypeLib\\$libid\\11.0" "(Default)    REG_SZ    Sirel" "\\FLAGS" \
    "\\HELPDIR" "\\0\\$(syskind_of "$last")"
  expect_no_key "$first" "$machine\\TypeLib\\$libid\\11.0\\0\\$(syskind_of "$first")"
  msiexec /x "$last"
  expect_creation "$last" no
  export_classes "$work/user-after.reg" "$work/machine-after.reg"
  same_file "$work/user-before.reg" "$work/user-after.reg" \
    || fail "$first first: the user's classes are not as before"
  same_file "$work/machine-before.reg" "$work/machine-after.reg" \
    || fail "$first first: the machine's classes are not as before"
  programs_listing | diff "$work/programs-before.txt" - \
    || fail "$first first: Program Files or the list of programs is not as before"
done

finish release-side-by-side "either package removed first leaves the other working; both removed leave nothing"
