# Shared start and checks of the release tests (tests/wine.d/release-*.sh), with the counted
# checks of scripts/lib/checks.sh (fail, finish, read_sirel_ids). Sourced with $root set, first:
#
#   release_setup NAME "$@"         takes the Wine lock and sets up the environment, reads the
#                                   GUIDs and the version, checks dist/ and makes $work (below)
#   prepare_user_classes            gives the user's classes the parent keys a Windows profile has
#   warm_up_script_host             lets Wine's cscript register itself before the exports
#   export_classes USER.reg MACHINE.reg   exports HKCU\Software\Classes and HKLM\Software\Classes
#   same_file A B                   the two exports are identical (shows the difference if not)
#   expect_value FILE KEY NAME VALUE [ROOT]   an exported value below ROOT (default the user's
#                                   classes; '' = default value)
#   changed_keys A B                the machine's classes keys that differ between two exports
#   as_windows_sees_user_classes CMD...  runs CMD with the user's Sirel keys visible to COM

# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
# shellcheck source=scripts/lib/checks.sh
source "$root/scripts/lib/checks.sh"
release_tool="$root/tools/release/release.py"

# release_setup NAME "$@": runs the calling script again under the Wine lock of $BUILD_DIR and
# sets up the environment; sets clsid, libid, iid, diid (read_sirel_ids) and version (the
# project's, from build/win64, which make dist packs); exits unless dist/ holds that version's
# archive (then named by zip) and both installers; and makes work=$BUILD_DIR/NAME, empty.
release_setup() {
  local name="$1" file
  shift
  sirel_wine_locked "$BUILD_DIR" "$0" "$@"
  sirel_wine_setup "$BUILD_DIR" || exit 1
  read_sirel_ids "$BUILD_DIR" || exit 1
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/win64/CMakeCache.txt")
  zip="$root/dist/Sirel-$version.zip"
  for file in "$zip" "$root/dist/Sirel-$version-x64.msi" "$root/dist/Sirel-$version-x86.msi"; do
    [ -f "$file" ] || { echo "$name: no ${file#"$root"/} (run make dist)"; exit 1; }
  done
  work="$BUILD_DIR/$name"
  rm -rf "$work"
  mkdir -p "$work"
}

# Registration leaves the parent keys (CLSID, Interface, TypeLib) in place when it removes its
# last entry, as Windows does; a user's profile holds them anyway. Made here once, so that
# before/after exports compare the registration itself.
prepare_user_classes() {
  local key
  for key in CLSID Interface TypeLib; do
    wine_run 60 reg add "HKCU\\Software\\Classes\\$key" /f >/dev/null 2>&1 || fail "reg add $key"
  done
}

# Wine's script host registers its own type library on its first run; run it once before the
# exports so that they compare only what the release does.
warm_up_script_host() {
  local script="$BUILD_DIR/release-warm-up.vbs"
  printf 'WScript.Echo "ready"\r\n' >"$script"
  wine_run 60 cscript //nologo "$(windows_path "$script")" >/dev/null 2>&1 || fail "cscript"
}

export_classes() {
  wine_run 120 reg export 'HKCU\Software\Classes' "$(windows_path "$1")" /y >/dev/null 2>&1 \
    || fail "reg export of the user's classes"
  wine_run 120 reg export 'HKLM\Software\Classes' "$(windows_path "$2")" /y >/dev/null 2>&1 \
    || fail "reg export of the machine's classes"
}

same_file() {
  if cmp -s "$1" "$2"; then return 0; fi
  diff <(iconv -f UTF-16 -t UTF-8 "$1") <(iconv -f UTF-16 -t UTF-8 "$2") | head -20
  return 1
}

expect_value() {
  local actual
  actual=$(python3 -c '
import sys
sys.path.insert(0, sys.argv[1])
from release import parse_reg
keys = {k.lower(): v for k, v in parse_reg(sys.argv[2], sys.argv[5]).items()}
value = keys.get(sys.argv[3].lower(), {}).get(sys.argv[4], ("", "<missing>"))[1]
sys.stdout.buffer.write(str(value).encode("utf-8"))' "$(dirname "$release_tool")" "$1" "$2" "$3" \
    "${5:-HKEY_CURRENT_USER\\Software\\Classes\\}")
  [ "$actual" = "$4" ] || fail "$2 ${3:-(default)} is '$actual', expected '$4'"
}

# The keys below HKLM\Software\Classes that were added, removed or changed between two exports,
# one a line (subkeys of a changed key each on their own line).
changed_keys() {
  python3 -c '
import sys
sys.path.insert(0, sys.argv[1])
from release import parse_reg
machine = "HKEY_LOCAL_MACHINE\\Software\\Classes\\"
a, b = parse_reg(sys.argv[2], machine), parse_reg(sys.argv[3], machine)
for key in sorted(set(a) | set(b)):
    if a.get(key) != b.get(key):
        print(key)' "$(dirname "$release_tool")" "$1" "$2"
}

# Wine 8 gives COM only the machine's classes as HKEY_CLASSES_ROOT: it does not merge the
# user's classes over them as Windows does (docs/release.md shows it with one key). A client
# under Wine therefore cannot see a per-user registration. To run a client against exactly what
# a per-user registration wrote, this copies the keys that registration creates (the capture's
# top keys) from the user's classes into the machine's, runs the command, and deletes the copies
# again: the view a Windows client has of HKEY_CLASSES_ROOT.
as_windows_sees_user_classes() {
  local key status=0
  local keys
  keys=$(python3 "$release_tool" keys "$root/build/dist/registration-x64.json") || {
    fail "no registration capture in build/dist (run make dist)"
    return 1
  }
  while IFS= read -r key; do
    wine_run 60 reg copy "HKCU\\Software\\Classes\\$key" "HKLM\\Software\\Classes\\$key" /s /f \
      >/dev/null 2>&1 || fail "reg copy $key"
  done <<<"$keys"
  "$@" || status=$?
  while IFS= read -r key; do
    wine_run 60 reg delete "HKLM\\Software\\Classes\\$key" /f >/dev/null 2>&1 || fail "reg delete $key"
  done <<<"$keys"
  return "$status"
}
