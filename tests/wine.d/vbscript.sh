#!/usr/bin/env bash
# The VBScript suites (tests/vbscript/*.vbs) run with Wine's cscript against the registered
# Sirel.dll, as script clients use it: the x64 build with the 64-bit cscript, the x86 build with
# the 32-bit one (both with the regsvr32 of the build's bitness). cscript reports no script error and always exits 0, so
# each suite prints its own results and ends with a marker line; a suite passes only when the
# marker says "failures=0" and no line says FAIL.
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_locked "$BUILD_DIR" "$0" "$@"
sirel_wine_setup "$BUILD_DIR" || exit 1

dll="$BUILD_DIR/src/automation/Sirel.dll"
work="$BUILD_DIR/vbscript"
mkdir -p "$work"

wine_run 60 regsvr32 /s "$(windows_path "$dll")" || { echo "vbscript [$SIREL_ARCH]: regsvr32 failed"; exit 1; }
# (Replacing the EXIT trap of wine-env.sh, so its teardown is called here too.)
trap 'wine_run 60 regsvr32 /s /u "$(windows_path "$dll")" >/dev/null 2>&1; sirel_wine_teardown' EXIT

failed=0
for suite in "$root"/tests/vbscript/*.vbs; do
  name=$(basename "$suite" .vbs)
  # The shared checks go first; cscript wants CR LF line ends.
  cat "$root/tests/vbscript/lib/check.vbs" "$suite" | sed 's/\r*$/\r/' >"$work/$name.vbs"
  output=$(wine_run 120 cscript //nologo "$(windows_path "$work/$name.vbs")" 2>&1 | tr -d '\r')
  echo "$output"
  echo "vbscript [$SIREL_ARCH]: $name ran with the $SIREL_ARCH cscript"
  if ! grep -q "^SIREL-VBSCRIPT-DONE $name checks=[0-9]* failures=0$" <<<"$output"; then
    echo "vbscript [$SIREL_ARCH]: $name did not finish cleanly (no marker, or failures)"
    failed=1
  elif grep -q '^FAIL' <<<"$output"; then
    failed=1
  fi
done
exit "$failed"
