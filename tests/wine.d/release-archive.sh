#!/usr/bin/env bash
# The release archive as a user meets it: dist/Sirel-<version>.zip unpacked into a folder whose
# name holds a space and characters outside ASCII; install.cmd, started from another folder,
# registers for the current user only (the machine's classes do not change) and the x64 DLL of
# that folder serves CreateObject; the VBScript sample runs with cscript, the C++ sample builds
# from the archive's files alone and runs; uninstall.cmd leaves the user's classes exactly as
# before (both classes keys exported before and after, compared byte for byte).
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_locked "$BUILD_DIR" "$0" "$@"
sirel_wine_setup "$BUILD_DIR" || exit 1
source "$root/tests/wine.d/lib/release-checks.sh"

zip=$(ls "$root"/dist/Sirel-*.zip 2>/dev/null | head -1)
[ -f "$zip" ] || { echo "release-archive: no dist/Sirel-*.zip (run make dist)"; exit 1; }
work="$BUILD_DIR/release-archive"
folder="$work/Sirel 1.1 – Prüfung ü"
rm -rf "$work"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder" || fail "unzip"
folder_windows=$(windows_path "$folder")
# The GUIDs, as the build read them from Sirel.idl.
# shellcheck source=/dev/null
source "$BUILD_DIR/src/automation/generated/sirel_ids.sh" || exit 1
clsid="{$sirel_clsid}"
iid="{$sirel_iid}"
diid="{$sirel_diid}"

prepare_user_classes
warm_up_script_host
export_classes "$work/user-before.reg" "$work/machine-before.reg"

echo "release-archive: install.cmd from another folder"
install_output=$(cd "$work" && wine_run 120 cmd /c "$folder_windows\\install.cmd" 2>&1 | tr -d '\r')
status=$?
echo "$install_output"
[ "$status" -eq 0 ] || fail "install.cmd exit status $status"
export_classes "$work/user-installed.reg" "$work/machine-installed.reg"
# The machine's classes stay as they were, but for one thing Wine does: its type library
# registration also writes the two interfaces into the other bitness's view of the machine's
# classes, past the redirection to the user's classes (docs/release.md). Anything else there
# is a failure.
wine_wrote=0
while IFS= read -r key; do
  interface="${key#Wow6432Node\\}"
  interface="${interface#Interface\\}"
  case "${interface:0:38}" in
    '') ;;
    "$iid" | "$diid") wine_wrote=$((wine_wrote + 1)) ;;
    *) fail "install.cmd changed the machine's classes: $key" ;;
  esac
done <<<"$(changed_keys "$work/machine-before.reg" "$work/machine-installed.reg" || echo '?')"
echo "release-archive: $wine_wrote interface key(s) written by Wine into the machine's classes"
# Wine keeps one view of the user's classes for both bitnesses, so the x64 DLL, registered
# last, is the class's server here (on Windows each view has its own).
expect_value "$work/user-installed.reg" "CLSID\\$clsid\\InprocServer32" "" \
  "$folder_windows\\x64\\Sirel.dll"
expect_value "$work/user-installed.reg" "Sirel.Sireler\\CLSID" "" "$clsid"

run_samples() {
  echo "release-archive: the VBScript sample"
  local output
  output=$(wine_run 120 cscript //nologo "$folder_windows\\samples\\vbscript\\hello.vbs" 1 2>&1 | tr -d '\r')
  echo "$output"
  grep -q '^Error 6: Overflow$' <<<"$output" || fail "hello.vbs: no overflow error reported"
  grep -q 'lines; the last one is: .*An important message$' <<<"$output" \
    || fail "hello.vbs: the poster did not post"

  echo "release-archive: the C++ sample, built from the archive alone"
  if x86_64-w64-mingw32-g++-posix -static -I"$folder/include" "$folder/samples/cpp/hello.cpp" \
       "$folder/include/Sirel_i.c" -lole32 -loleaut32 -luuid -o "$work/hello.exe"; then
    output=$(wine_run 120 "$work/hello.exe" 0 2>&1 | tr -d '\r')
    echo "$output"
    grep -q '^The window shows: .*Hello from C++$' <<<"$output" || fail "hello.exe did not post"
  else
    fail "the C++ sample does not build from the archive"
  fi
}
as_windows_sees_user_classes run_samples

echo "release-archive: uninstall.cmd"
output=$(cd "$work" && wine_run 120 cmd /c "$folder_windows\\uninstall.cmd" 2>&1 | tr -d '\r')
status=$?
echo "$output"
[ "$status" -eq 0 ] || fail "uninstall.cmd exit status $status"
export_classes "$work/user-after.reg" "$work/machine-after.reg"
same_file "$work/user-before.reg" "$work/user-after.reg" \
  || fail "uninstall.cmd did not leave the user's classes as before"
same_file "$work/machine-before.reg" "$work/machine-after.reg" \
  || fail "the machine's classes are not as before"

finish release-archive
