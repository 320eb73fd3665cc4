#!/usr/bin/env bash
# The demo: registers the x64 Sirel.dll in a private Wine prefix (<builddir>/demo/wineprefix)
# and runs the demo client, which creates a poster through COM by its ProgID, shows the message
# window inside its own window, posts a few dozen messages and keeps pumping for a few seconds.
# On the user's display when DISPLAY names one that answers; otherwise on Xvfb, where a
# screenshot of the demo is saved to docs/screenshot.png. The window's lines are printed.
#
#   scripts/run-demo.sh <builddir>        (make demo runs it with build/win64)
#   SIREL_DEMO_SECONDS=N                  how long the windows stay up (default 6)
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
builddir=$(sirel_build_dir "$0" "$@") || exit 2
dll="$builddir/src/automation/Sirel.dll"
demo="$builddir/demo/sirel_demo.exe"
seconds="${SIREL_DEMO_SECONDS:-6}"
for file in "$dll" "$demo"; do
  if [ ! -f "$file" ]; then
    echo "run-demo: $file is missing (build the win64 preset first)" >&2
    exit 1
  fi
done

user_display=0
if [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1; then user_display=1; fi

# The demo's own prefix, copied from the test prefix when that one exists (faster than making
# one); wine-env.sh picks the display, starts the server and cleans up on exit.
mkdir -p "$builddir/demo"
if [ -f "$builddir/wineprefix/.sirel-ready" ] && [ ! -e "$builddir/demo/wineprefix" ]; then
  export SIREL_WINEPREFIX_TEMPLATE="$builddir/wineprefix"
fi
sirel_wine_locked "$builddir/demo" "$0" "$@"
sirel_wine_setup "$builddir/demo" || { echo "run-demo: the Wine environment could not be set up" >&2; exit 1; }

# Wine draws the caption buttons with its Marlett font; Debian installs Wine's fonts outside
# the prefix, where this Wine does not look. Linking them in makes the buttons show as glyphs.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
  for font in /usr/share/wine/fonts/*.ttf; do
    [ -e "$fonts/$(basename "$font")" ] || ln -s "$font" "$fonts/" 2>/dev/null || true
  done
fi

echo "run-demo: registering $dll"
wine_run 60 regsvr32 /s "$(windows_path "$dll")" || { echo "run-demo: regsvr32 failed" >&2; exit 1; }

if [ "$user_display" = 1 ]; then
  echo "run-demo: showing the demo on your display $DISPLAY for ${seconds}s"
else
  echo "run-demo: no display; running on Xvfb ($DISPLAY) and saving docs/screenshot.png"
fi
output="$builddir/demo/demo-output.txt"
: >"$output"
wine_run $((seconds + 60)) "$demo" "$seconds" >"$output" 2>&1 &
demo_pid=$!

# Wait until the demo has shown and painted everything.
for _ in $(seq 600); do
  grep -q '^READY' "$output" && break
  kill -0 "$demo_pid" 2>/dev/null || break
  sleep 0.1
done

status=0
if grep -q '^READY' "$output"; then
  if [ "$user_display" = 0 ]; then
    read -r x y width height < <(sed -nE 's/^WINDOW (-?[0-9]+) (-?[0-9]+) ([0-9]+) ([0-9]+)\r?$/\1 \2 \3 \4/p' "$output")
    shot="$root/docs/screenshot.png"
    mkdir -p "$root/docs"
    if [ -n "${width:-}" ] && import -window root -crop "${width}x${height}+${x}+${y}" +repage "$shot" 2>/dev/null; then
      echo "run-demo: saved $shot (${width}x${height})"
    elif import -window root "$shot" 2>/dev/null; then
      echo "run-demo: saved $shot (whole screen)"
    else
      echo "run-demo: could not take the screenshot" >&2
      status=1
    fi
  fi
else
  echo "run-demo: the demo did not get ready" >&2
  status=1
fi

wait "$demo_pid" || status=1
tr -d '\r' <"$output" | grep -v -E '^(READY|WINDOW )'
wine_run 60 regsvr32 /s /u "$(windows_path "$dll")" >/dev/null 2>&1 || true
exit "$status"
