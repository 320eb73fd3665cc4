# Registry checks of a Sirel.dll registration, shared by registration.sh, side-by-side.sh and
# release-side-by-side.sh.
# Source after sirel_wine_setup. Each check names the build (x64 or x86) whose keys it reads:
#   - the class key where Windows keeps it for that build: <classes>\CLSID for x64,
#     <classes>\Wow6432Node\CLSID for x86 (read in the 64-bit view, the registry as stored);
#   - the ProgID, the type library (with the build's win32 or win64 entry) and the interface
#     keys as that build's own processes see them (its own `reg`), whether the system shares
#     them between the views or keeps one per view.
# Failures are counted in $failures (scripts/lib/checks.sh); no check exits.

# shellcheck source=scripts/lib/checks.sh
source "$root/scripts/lib/checks.sh"
read_sirel_ids "$BUILD_DIR" || return 1
machine='HKLM\Software\Classes'
user='HKCU\Software\Classes'

loader_of() { if [ "$1" = x86 ]; then echo "$WINE32"; else echo "$WINE64"; fi; }
syskind_of() { if [ "$1" = x86 ]; then echo win32; else echo win64; fi; }
class_key_of() {
  if [ "$1" = x86 ]; then echo "$2\\Wow6432Node\\CLSID\\$clsid"; else echo "$2\\CLSID\\$clsid"; fi
}

# reg_query ARCH KEY: the key's listing with its subkeys, read by that build's `reg`. A reg that
# failed without a word did not run (seen on a loaded machine, with the key in place): it is
# asked again, up to three times; a missing key always has reg say so.
reg_query() {
  local loader listing status attempt
  loader=$(loader_of "$1")
  for attempt in 1 2 3; do
    listing=$(timeout -k 10 60 "$loader" reg query "$2" /s 2>&1 | tr -d '\r'; exit "${PIPESTATUS[0]}")
    status=$?
    if [ "$status" -eq 0 ] || [ -n "$listing" ]; then break; fi
  done
  printf '%s\n' "$listing"
  return "$status"
}

# expect_key ARCH KEY [PATTERN...]: the key exists and its listing matches every pattern.
expect_key() {
  local arch="$1" key="$2"
  shift 2
  local listing pattern
  if ! listing=$(reg_query "$arch" "$key"); then
    # What reg said, so that a key that is gone can be told from a reg that did not run.
    fail "[$arch view] missing $key (reg: $(head -c 200 <<<"$listing" | tr '\n' ' '))"
    return
  fi
  for pattern in "$@"; do
    grep -qiF -- "$pattern" <<<"$listing" || fail "[$arch view] $key lacks '$pattern'"
  done
}

# expect_no_key ARCH KEY [PATTERN]: the key is absent, or (with a pattern) lacks the pattern.
expect_no_key() {
  local listing
  listing=$(reg_query "$1" "$2") || return 0
  if [ $# -eq 2 ]; then
    fail "[$1 view] left behind: $2"
  elif grep -qiF -- "$3" <<<"$listing"; then
    fail "[$1 view] left behind in $2: '$3'"
  fi
}

# expect_registered ARCH CLASSES DLL: every key that build's clients need, pointing at its DLL.
expect_registered() {
  local arch="$1" classes="$2" dll
  dll=$(windows_path "$3")
  expect_key "$arch" "$classes\\Sirel.Sireler" "$clsid"
  expect_key x64 "$(class_key_of "$arch" "$classes")" "$dll" \
    "ThreadingModel    REG_SZ    Apartment" "ProgID" "Sirel.Sireler" "$libid"
  # Type library 17.0 (a hexadecimal key), locale 0, this build's entry naming its DLL.
  expect_key "$arch" "$classes\\TypeLib\\$libid\\11.0" "Sirel" \
    "\\11.0\\0\\$(syskind_of "$arch")" "$dll"
  # The dual interface goes through the type library marshaller, the event interface through
  # the dispatch marshaller.
  expect_key "$arch" "$classes\\Interface\\$iid" "{00020424-0000-0000-C000-000000000046}" "$libid"
  expect_key "$arch" "$classes\\Interface\\$diid" "{00020420-0000-0000-C000-000000000046}" "$libid"
}

# expect_creation ARCH yes|no: that bitness's cscript does (or does not) create a working poster.
expect_creation() {
  local script="$BUILD_DIR/create-poster.vbs" output
  printf '%s\r\n' 'On Error Resume Next' 'count = -1' 'Set poster = CreateObject("Sirel.Sireler")' \
    'created = Err.Number' 'If created = 0 Then poster.DoSirel "side by side", 1 : count = poster.Count' \
    'WScript.Echo "SIREL-SIDE-BY-SIDE error=" & created & " count=" & count' >"$script"
  output=$(timeout -k 10 60 "$(loader_of "$1")" cscript //nologo "$(windows_path "$script")" 2>&1 | tr -d '\r')
  if [ "$2" = yes ] && ! grep -qx 'SIREL-SIDE-BY-SIDE error=0 count=1' <<<"$output"; then
    fail "[$1] cscript did not create a poster: $output"
  elif [ "$2" = no ] && grep -q 'error=0 ' <<<"$output"; then
    fail "[$1] cscript still created a poster after its DLL was removed"
  fi
}

# expect_own_keys_gone ARCH CLASSES: that build's class key and type library entry are gone.
expect_own_keys_gone() {
  expect_no_key x64 "$(class_key_of "$1" "$2")"
  expect_no_key "$1" "$2\\TypeLib\\$libid\\11.0\\0\\$(syskind_of "$1")"
}

# expect_nothing_left CLASSES: no key of the library in either view.
expect_nothing_left() {
  local classes="$1" arch
  for arch in x64 x86; do
    expect_no_key "$arch" "$classes\\Sirel.Sireler"
    expect_no_key "$arch" "$classes\\TypeLib\\$libid"
    expect_no_key x64 "$(class_key_of "$arch" "$classes")"
    expect_no_key "$arch" "$classes\\Interface\\$iid"
    expect_no_key "$arch" "$classes\\Interface\\$diid"
  done
}
