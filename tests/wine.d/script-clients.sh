#!/usr/bin/env bash
# The script-client suites run with Wine's cscript against the registered Sirel.dll, as script
# clients use it: the VBScript suites (tests/vbscript/*.vbs) and the JScript suites
# (tests/jscript/*.js), the x64 build with the 64-bit cscript, the x86 build with the 32-bit one
# (both with the regsvr32 of the build's bitness). cscript reports no script error and always
# exits 0, so each suite prints its own results and ends with a marker line; a suite passes only
# when the marker says "failures=0" and no line says FAIL.
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_locked "$BUILD_DIR" "$0" "$@"
sirel_wine_setup "$BUILD_DIR" || exit 1

dll="$BUILD_DIR/src/automation/Sirel.dll"
work="$BUILD_DIR/script-clients"
mkdir -p "$work"

wine_run 60 regsvr32 /s "$(windows_path "$dll")" || { echo "script-clients [$SIREL_ARCH]: regsvr32 failed"; exit 1; }
# (Replacing the EXIT trap of wine-env.sh, so its teardown is called here too.)
trap 'wine_run 60 regsvr32 /s /u "$(windows_path "$dll")" >/dev/null 2>&1; sirel_wine_teardown' EXIT

failed=0
# language | folder | file extension | marker
for row in "VBScript|vbscript|vbs|SIREL-VBSCRIPT-DONE" "JScript|jscript|js|SIREL-JSCRIPT-DONE"; do
  IFS='|' read -r language folder extension marker <<<"$row"
  for suite in "$root/tests/$folder"/*."$extension"; do
    name=$(basename "$suite" ."$extension")
    # The shared checks go first; cscript wants CR LF line ends.
    cat "$root/tests/$folder/lib/check.$extension" "$suite" | sed 's/\r*$/\r/' >"$work/$name.$extension"
    output=$(wine_run 120 cscript //nologo "$(windows_path "$work/$name.$extension")" 2>&1 | tr -d '\r')
    echo "$output"
    echo "script-clients [$SIREL_ARCH]: the $language suite $name ran with the $SIREL_ARCH cscript"
    if ! grep -q "^$marker $name checks=[0-9]* failures=0$" <<<"$output"; then
      echo "script-clients [$SIREL_ARCH]: the $language suite $name did not finish cleanly (no marker, or failures)"
      failed=1
    elif grep -q '^FAIL' <<<"$output"; then
      failed=1
    fi
  done
done
exit "$failed"
