#!/usr/bin/env bash
# The installers in dist/. The x64 one under Wine, per user (the default) and per machine
# (ALLUSERS=1): msiexec /i writes into the scope's classes exactly what the DLL's own
# registration writes (the export's difference is the registration capture of make dist, with
# the installed path) and nothing into the other scope's; cscript creates a poster; the program
# is listed with its version; per user, a higher version built the same way upgrades it in
# place; msiexec /x leaves both classes keys and the folders exactly as before. The x86 one
# statically: an Intel package with a 32-bit component (the 32-bit registry view) that carries
# the x86 DLL and registers its type library as win32.
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/wine.d/lib/release-checks.sh
source "$root/tests/wine.d/lib/release-checks.sh"
release_setup release-installer "$@"

dist="$root/build/dist"
msi="$root/dist/Sirel-$version-x64.msi"
me=$(id -un)
sed 's/\r*$/\r/' "$root/samples/vbscript/hello.vbs" >"$work/hello.vbs"

# What is on disk where the installer puts things, one path a line.
folders_listing() {
  (cd "$WINEPREFIX/drive_c" && find "users/$me/AppData/Local" "Program Files" 2>/dev/null | sort)
}

# The product's entry in the list of installed programs: "code|version", or nothing.
installed_program() {
  local code
  code=$(wine_run 60 uninstaller --list 2>/dev/null | tr -d '\r' | sed -n 's/|||Sirel (x64)$//p')
  [ -n "$code" ] || return 0
  [ "$(wc -l <<<"$code")" -eq 1 ] || { echo "several"; return 0; }
  local shown
  shown=$(wine_run 60 reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" \
    /v DisplayVersion 2>/dev/null | tr -d '\r' | awk '/DisplayVersion/ {print $3}')
  echo "$code|$shown"
}

# Two captures hold the same entries (key names compared without case, as the registry does).
same_registration() {
  python3 -c '
import json, sys
def entries(path):
    return sorted((e["key"].lower(), e["name"].lower(), e["type"], e["value"])
                  for e in json.load(open(path)))
a, b = entries(sys.argv[1]), entries(sys.argv[2])
for entry in sorted(set(a) ^ set(b)):
    print("differs:", entry)
sys.exit(a != b)' "$1" "$2"
}

creates_a_poster() {
  local output
  output=$(wine_run 120 cscript //nologo "$(windows_path "$work/hello.vbs")" 1 2>&1 | tr -d '\r')
  grep -q 'lines; the last one is: .*An important message$' <<<"$output" \
    || fail "$1: cscript could not create a poster and post: $output"
}

# The next release for the upgrade, built like this one from the same capture. Its version
# differs in the fourth part only, which Windows Installer does not compare.
IFS=. read -r major minor patch tweak <<<"$version"
higher="$major.$minor.$patch.$((tweak + 1))"
higher_msi="$work/Sirel-$higher-x64.msi"
bash "$root/scripts/build-msi.sh" x64 "$higher" "$dist/registration-x64.json" \
  "$dist/stage/x64/Sirel.dll" "$higher_msi" || fail "building the $higher installer"

prepare_user_classes
warm_up_script_host
# The user's programs folder (%LOCALAPPDATA%\Programs) as a used profile has it: the installer
# makes it when missing but, under Wine, does not remove it again (docs/release.md).
mkdir -p "$WINEPREFIX/drive_c/users/$me/AppData/Local/Programs"
# The installer's own keys in the machine's classes, which every Windows has and which Wine
# leaves in place, empty, after removing the last product that used them.
for key in Features Products UpgradeCodes; do
  wine_run 60 reg add "HKLM\\Software\\Classes\\Installer\\$key" /f >/dev/null 2>&1 || fail "reg add $key"
done

# scope | msiexec properties | classes key of the scope | installed DLL | upgrade too
# (Wine does not take a per-machine product's context back for its removal, so ALLUSERS=1 is
# given to msiexec /x as well; on Windows the installed product's context already says so.)
scopes=(
  "per user||HKCU|C:\\users\\$me\\AppData\\Local\\Programs\\Sirel-x64\\Sirel.dll|yes"
  "per machine|ALLUSERS=1|HKLM|C:\\Program Files\\Sirel\\Sirel.dll|no"
)
for row in "${scopes[@]}"; do
  IFS='|' read -r scope properties classes installed upgrade <<<"$row"
  echo "release-installer: $scope"
  export_classes "$work/user-before.reg" "$work/machine-before.reg"
  folders_listing >"$work/folders-before.txt"
  [ -z "$(installed_program)" ] || fail "$scope: Sirel (x64) is listed before the installation"

  # shellcheck disable=SC2086  # the properties are words
  wine_run 180 msiexec /i "$(windows_path "$msi")" $properties /qn || fail "$scope: msiexec /i returned $?"
  export_classes "$work/user-installed.reg" "$work/machine-installed.reg"
  if [ "$classes" = HKCU ]; then
    scope_before="$work/user-before.reg" scope_installed="$work/user-installed.reg"
    other_before="$work/machine-before.reg" other_installed="$work/machine-installed.reg"
  else
    scope_before="$work/machine-before.reg" scope_installed="$work/machine-installed.reg"
    other_before="$work/user-before.reg" other_installed="$work/user-installed.reg"
  fi
  same_file "$other_before" "$other_installed" || fail "$scope: the other scope's classes changed"
  [ -f "$WINEPREFIX/drive_c/$(sed 's#^C:\\##; s#\\#/#g' <<<"$installed")" ] || fail "$scope: no $installed"
  [ "$(installed_program | cut -d'|' -f2)" = "$version" ] || fail "$scope: not listed with version $version"
  if [ "$classes" = HKCU ]; then as_windows_sees_user_classes creates_a_poster "$scope"; else creates_a_poster "$scope"; fi

  if [ "$upgrade" = yes ]; then
    echo "release-installer: $scope, upgrade to $higher"
    wine_run 180 msiexec /i "$(windows_path "$higher_msi")" /qn || fail "$scope: the upgrade returned $?"
    [ "$(installed_program | cut -d'|' -f2)" = "$higher" ] \
      || fail "$scope: after the upgrade the list shows '$(installed_program)', not $higher alone"
    as_windows_sees_user_classes creates_a_poster "$scope, upgraded"
    removing="$higher_msi"
  else
    removing="$msi"
  fi

  # shellcheck disable=SC2086
  wine_run 180 msiexec /x "$(windows_path "$removing")" $properties /qn || fail "$scope: msiexec /x returned $?"
  export_classes "$work/user-after.reg" "$work/machine-after.reg"
  same_file "$work/user-before.reg" "$work/user-after.reg" || fail "$scope: the user's classes are not as before"
  same_file "$work/machine-before.reg" "$work/machine-after.reg" || fail "$scope: the machine's classes are not as before"
  folders_listing | diff "$work/folders-before.txt" - || fail "$scope: the folders are not as before"
  [ -z "$(installed_program)" ] || fail "$scope: still listed after removal"

  # Exactly what the DLL registers: the installation's difference is the make dist capture.
  if [ "$classes" = HKCU ]; then
    python3 "$release_tool" capture "$scope_before" "$scope_installed" "$work/user-after.reg" \
      "$installed" "$work/installed.json" && same_registration "$work/installed.json" \
      "$dist/registration-x64.json" || fail "$scope: not what the DLL registers"
  else
    [ "$(changed_keys "$scope_before" "$scope_installed" | grep -c .)" -ge 10 ] \
      || fail "$scope: the machine's classes did not receive the registration"
    expect_value "$scope_installed" "CLSID\\$clsid\\InprocServer32" "" \
      "$installed" "HKEY_LOCAL_MACHINE\\Software\\Classes\\"
  fi
done

echo "release-installer: the x86 installer, statically"
x86_msi="$root/dist/Sirel-$version-x86.msi"
msiinfo suminfo "$x86_msi" | grep -qx 'Template: Intel;1033' || fail "x86: not an Intel package"
msiinfo suminfo "$msi" | grep -qx 'Template: x64;1033' || fail "x64: not an x64 package"
# msidbComponentAttributes64bit (256) unset: the registry rows go to the 32-bit view.
attributes=$(msiinfo export "$x86_msi" Component | awk -F'\t' '$1 == "SirelDll" {print $4}')
[ "$attributes" = 0 ] || fail "x86: the component's attributes are '$attributes', not 0 (32-bit)"
attributes=$(msiinfo export "$msi" Component | awk -F'\t' '$1 == "SirelDll" {print $4}')
[ "$attributes" = 256 ] || fail "x64: the component's attributes are '$attributes', not 256 (64-bit)"
registry=$(msiinfo export "$x86_msi" Registry | tr -d '\r')
grep -q $'\\\\0\\\\win32\t\t\\[#SirelDll\\]' <<<"$registry" || fail "x86: no win32 type library row"
! grep -qi 'win64' <<<"$registry" || fail "x86: a win64 row"
rows=$(grep -c $'\t-1\tSoftware\\\\Classes\\\\' <<<"$registry")
entries=$(grep -c '"key"' "$dist/registration-x86.json")
[ "$rows" -eq "$entries" ] || fail "x86: $rows HKMU rows for $entries captured entries"
mkdir -p "$work/x86"
(cd "$work/x86" && msiextract "$x86_msi" >/dev/null) || fail "x86: msiextract"
extracted=$(find "$work/x86" -name Sirel.dll | head -1)
cmp -s "$extracted" "$dist/stage/x86/Sirel.dll" || fail "x86: the package does not carry the x86 DLL"
i686-w64-mingw32-objdump -f "$extracted" | grep -q 'file format pei-i386' || fail "x86: not an i386 DLL"

finish release-installer
