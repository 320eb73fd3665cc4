# Wine environment for running the Windows test and benchmark programs. Source this file, then:
#
#   sirel_wine_locked <builddir> "$0" "$@"
#                                  runs the calling script again under the prefix's lock
#   sirel_wine_setup <builddir>    private prefix <builddir>/wineprefix, a display, one wineserver
#   wine_run TIMEOUT program args  runs a Windows program; kills it and fails if it hangs
#   sirel_wine_teardown            stops exactly what setup started (also run on EXIT)
#   windows_path PATH              the Wine path (Z:\...) of a Unix path
#   builddir=$(sirel_build_dir "$0" "$@") || exit 2
#                                  the one build folder a script takes, made absolute (prints
#                                  the script's usage unless it was given exactly one folder)
#
# After setup these are exported: WINE (the loader for the build's bitness), WINE64, WINE32,
# WINESERVER, WINEPREFIX, DISPLAY, WINEDEBUG, WINEDLLOVERRIDES, SIREL_ARCH (x64 or x86, read from
# the build's CMake cache) and SIREL_WINE_READY. A script started by the harness that sources this file
# again and calls sirel_wine_setup reuses the running environment and owns nothing.
#
# The prefix is made once with `wineboot -i` and reused. With SIREL_WINEPREFIX_TEMPLATE naming a
# ready prefix, it is copied instead and its shell-folder links (Desktop, Documents, ...) are
# repointed to the current HOME, since Wine links them into the HOME of whoever made the prefix.
# Runs on the same build folder are serialised by a lock on <builddir>/wineprefix.lock, taken
# once around the whole run by flock on a command: flock itself holds it (-o), so neither the
# script nor any Wine process it starts has a descriptor of it to inherit or close.
#
# Every prefix is a 64-bit one, made by the 64-bit loader. An x86 build's programs run in it
# with the 32-bit loader, as 32-bit programs run on 64-bit Windows: its `regsvr32`, `cscript`
# and `reg` are then the 32-bit tools and see the 32-bit registry view.

WINE64=/usr/lib/wine/wine64
WINE32=/usr/lib/wine/wine
WINE=$WINE64
WINESERVER=/usr/lib/wine/wineserver

_sirel_wine_xvfb_pid=""
_sirel_wine_server_pid=""
_sirel_wine_owner=0

_sirel_wine_log() { echo "wine-env: $*" >&2; }

# sirel_build_arch <builddir>: x86 or x64, by the compiler the build was configured with.
sirel_build_arch() {
  if grep -q '^CMAKE_LINKER:FILEPATH=.*i686-' "$1/CMakeCache.txt" 2>/dev/null; then echo x86; else echo x64; fi
}

windows_path() { echo "Z:${1//\//\\}"; }

sirel_build_dir() {
  if [ $# -ne 2 ] || [ ! -d "$2" ]; then
    echo "usage: $1 <builddir>" >&2
    return 2
  fi
  (cd "$2" && pwd)
}

# True when DISPLAY names an X server that answers.
_sirel_wine_display_works() {
  [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1
}

# Starts Xvfb on a display it picks itself (-displayfd) and exports DISPLAY.
_sirel_wine_start_xvfb() {
  local numfile
  numfile=$(mktemp)
  # In a session of its own, like the server below: a signal sent to the caller's process group
  # (a timeout around the whole run) must not kill it before the teardown has stopped Wine.
  setsid Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$numfile" >/dev/null 2>&1 &
  _sirel_wine_xvfb_pid=$!
  local i
  for i in $(seq 100); do
    if [ -s "$numfile" ]; then break; fi
    if ! kill -0 "$_sirel_wine_xvfb_pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  local number
  number=$(tr -dc '0-9' <"$numfile")
  rm -f "$numfile"
  if [ -z "$number" ]; then
    _sirel_wine_log "Xvfb did not start"
    return 1
  fi
  export DISPLAY=":$number"
  _sirel_wine_log "started Xvfb on $DISPLAY (pid $_sirel_wine_xvfb_pid)"
}

# Points the prefix's shell-folder links at the current HOME.
_sirel_wine_repoint_shell_folders() {
  local userdir link
  for userdir in "$WINEPREFIX"/drive_c/users/*; do
    for link in "$userdir"/*; do
      if [ -L "$link" ]; then ln -sfn "$HOME" "$link"; fi
    done
  done
  # The user folder is named after whoever made the prefix; Wine wants the current user's name.
  local me
  me=$(id -un)
  if [ ! -e "$WINEPREFIX/drive_c/users/$me" ]; then
    for userdir in "$WINEPREFIX"/drive_c/users/*; do
      case "$(basename "$userdir")" in Public) continue ;; esac
      mv "$userdir" "$WINEPREFIX/drive_c/users/$me"
      break
    done
  fi
}

# Makes the prefix when it does not exist yet (needs the server running).
_sirel_wine_make_prefix() {
  if [ -f "$WINEPREFIX/.sirel-ready" ]; then return 0; fi
  _sirel_wine_log "making the Wine prefix $WINEPREFIX"
  timeout -k 10 180 "$WINE64" wineboot -i >/dev/null 2>&1 || true
  # A crash must print its report and end the program, never wait for someone to click.
  timeout -k 10 60 "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
    /t REG_DWORD /d 0 /f >/dev/null 2>&1 || {
    _sirel_wine_log "could not disable the crash dialog"
    return 1
  }
  # (system.reg lags while the server runs, so look for the installed system folder instead.)
  if [ ! -d "$WINEPREFIX/drive_c/windows/system32" ]; then
    _sirel_wine_log "wineboot did not make the prefix"
    return 1
  fi
  touch "$WINEPREFIX/.sirel-ready"
}

# Settings of the prefix, applied once per prefix (and again when this list changes).
_sirel_wine_settings_version=1
_sirel_wine_configure_prefix() {
  local stamp="$WINEPREFIX/.sirel-settings-$_sirel_wine_settings_version"
  if [ -f "$stamp" ]; then return 0; fi
  # Windows are not handed to a window manager: there is none on Xvfb, and Wine would wait two
  # seconds for one each time it hides or destroys a visible window.
  timeout -k 10 60 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N \
    /f >/dev/null 2>&1 || {
    _sirel_wine_log "could not write the X11 driver settings"
    return 1
  }
  touch "$stamp"
}

# Copies the template prefix when one is named and the build folder has none yet.
_sirel_wine_copy_template() {
  local template="${SIREL_WINEPREFIX_TEMPLATE:-}"
  if [ -z "$template" ] || [ -e "$WINEPREFIX" ] || [ ! -f "$template/.sirel-ready" ]; then
    return 0
  fi
  _sirel_wine_log "copying the Wine prefix from $template"
  cp -a "$template" "$WINEPREFIX"
  _sirel_wine_repoint_shell_folders
}

# sirel_wine_locked BUILDDIR SCRIPT [ARGS...]: unless this run already holds the lock of
# BUILDDIR, replaces the calling script by flock running it again (with bash) under that lock.
# Waits up to 30 minutes for another run; fails with status 75 after that.
sirel_wine_locked() {
  local builddir
  builddir=$(cd "$1" && pwd) || return 1
  shift
  if [ "${SIREL_WINE_LOCKED:-}" = "$builddir" ]; then return 0; fi
  export SIREL_WINE_LOCKED="$builddir"
  exec flock -o -w 1800 -E 75 "$builddir/wineprefix.lock" bash "$@"
}

sirel_wine_setup() {
  local builddir="$1"
  builddir=$(cd "$builddir" && pwd) || return 1
  SIREL_ARCH=$(sirel_build_arch "$builddir")
  if [ "$SIREL_ARCH" = x86 ]; then WINE=$WINE32; else WINE=$WINE64; fi
  export WINE WINE64 WINE32 WINESERVER SIREL_ARCH
  if [ -n "${SIREL_WINE_READY:-}" ] && [ "${WINEPREFIX:-}" = "$builddir/wineprefix" ]; then
    return 0  # inside a run that another script set up: reuse it, own nothing
  fi
  if [ "${SIREL_WINE_LOCKED:-}" != "$builddir" ]; then
    _sirel_wine_log "run this script through sirel_wine_locked $builddir first"
    return 1
  fi

  export WINEPREFIX="$builddir/wineprefix"
  export WINEDEBUG=-all
  # No Mono or Gecko installer may pop up while the prefix is made.
  export WINEDLLOVERRIDES="mscoree,mshtml="

  _sirel_wine_owner=1
  trap sirel_wine_teardown EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP

  if ! _sirel_wine_display_works; then
    _sirel_wine_start_xvfb || return 1
  fi

  _sirel_wine_copy_template
  mkdir -p "$WINEPREFIX"
  # One persistent server for the whole run, started after DISPLAY is set. In the foreground
  # (-f) so that $! is the server itself; it exits at once if a server already runs here.
  setsid "$WINESERVER" -f -p >/dev/null 2>&1 &
  _sirel_wine_server_pid=$!
  sleep 0.2
  if ! kill -0 "$_sirel_wine_server_pid" 2>/dev/null; then
    _sirel_wine_log "a wineserver was already running for $WINEPREFIX; using it"
    _sirel_wine_server_pid=""
  fi

  _sirel_wine_make_prefix || return 1
  _sirel_wine_configure_prefix || return 1
  export SIREL_WINE_READY=1
}

# wine_run TIMEOUT program [args...]: runs the program under Wine. A program still running after
# TIMEOUT seconds is killed, with its process group, and the call fails with status 124.
wine_run() {
  local limit="$1"
  shift
  local status=0
  timeout -k 10 "$limit" "$WINE" "$@" || status=$?
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    _sirel_wine_log "TIMEOUT: $* did not finish within ${limit}s and was killed"
    return 124
  fi
  return "$status"
}

sirel_wine_teardown() {
  if [ "$_sirel_wine_owner" != 1 ]; then return 0; fi
  _sirel_wine_owner=0
  if [ -n "$_sirel_wine_server_pid" ]; then
    # Ends every Wine process of this prefix (all of them ours, under the lock), then the server.
    timeout 20 "$WINESERVER" -k >/dev/null 2>&1 || true
    local i
    for i in $(seq 50); do
      kill -0 "$_sirel_wine_server_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$_sirel_wine_server_pid" 2>/dev/null || true
    wait "$_sirel_wine_server_pid" 2>/dev/null || true
    _sirel_wine_server_pid=""
  fi
  if [ -n "$_sirel_wine_xvfb_pid" ]; then
    kill "$_sirel_wine_xvfb_pid" 2>/dev/null || true
    wait "$_sirel_wine_xvfb_pid" 2>/dev/null || true
    _sirel_wine_log "stopped Xvfb (pid $_sirel_wine_xvfb_pid)"
    _sirel_wine_xvfb_pid=""
  fi
  unset SIREL_WINE_READY
}
