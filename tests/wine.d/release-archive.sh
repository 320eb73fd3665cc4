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
# shellcheck source=tests/wine.d/lib/release-checks.sh
source "$root/tests/wine.d/lib/release-checks.sh"
release_setup release-archive "$@"

folder="$work/Sirel 1.1 – Prüfung ü"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder" || fail "unzip"
folder_windows=$(windows_path "$folder")

# run_command_file NAME: runs the archive's NAME.cmd from another folder, checks that it
# succeeds, then exports both classes keys to $work/user-NAME.reg and $work/machine-NAME.reg.
run_command_file() {
  echo "release-archive: $1.cmd from another folder"
  local output status
  output=$(cd "$work" && wine_run 120 cmd /c "$folder_windows\\$1.cmd" 2>&1 | tr -d '\r')
  status=$?
  echo "$output"
  [ "$status" -eq 0 ] || fail "$1.cmd exit status $status"
  export_classes "$work/user-$1.reg" "$work/machine-$1.reg"
}

prepare_user_classes
warm_up_script_host
export_classes "$work/user-before.reg" "$work/machine-before.reg"

run_command_file install
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
done <<<"$(changed_keys "$work/machine-before.reg" "$work/machine-install.reg" || echo '?')"
echo "release-archive: $wine_wrote interface key(s) written by Wine into the machine's classes"
# Wine keeps one view of the user's classes for both bitnesses, so the x64 DLL, registered
# last, is the class's server here (on Windows each view has its own).
expect_value "$work/user-install.reg" "CLSID\\$clsid\\InprocServer32" "" \
  "$folder_windows\\x64\\Sirel.dll"
expect_value "$work/user-install.reg" "Sirel.Sireler\\CLSID" "" "$clsid"

run_samples() {
  echo "release-archive: the VBScript sample"
  local output
  output=$(wine_run 120 cscript //nologo "$folder_windows\\samples\\vbscript\\hello.vbs" 1 2>&1 | tr -d '\r')
  echo "$output"
  grep -q '^Error 6: Overflow$' <<<"$output" || fail "hello.vbs: no overflow error reported"
  grep -q 'lines; the last one is: .*An important message$' <<<"$output" \
    || fail "hello.vbs: the poster did not post"

  echo "release-archive: the JScript sample"
  output=$(wine_run 120 cscript //nologo "$folder_windows\\samples\\jscript\\hello.js" 1 2>&1 | tr -d '\r')
  echo "$output"
  grep -q '^Error 6: Overflow$' <<<"$output" || fail "hello.js: no overflow error reported"
  grep -q '^2 lines; the last one is: 2: 10: An important message$' <<<"$output" \
    || fail "hello.js: the poster did not post"

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

run_command_file uninstall
same_file "$work/user-before.reg" "$work/user-uninstall.reg" \
  || fail "uninstall.cmd did not leave the user's classes as before"
same_file "$work/machine-before.reg" "$work/machine-uninstall.reg" \
  || fail "the machine's classes are not as before"

finish release-archive
