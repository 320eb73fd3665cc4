#!/usr/bin/env bash
# End-to-end tests of the message window, worked the way a person works it: xdotool moves the
# pointer, clicks lines and menu items and types into dialogs on the Xvfb display, and the host
# program (tests/e2e/sirel_e2e_host.exe) reports what the window, the clipboard and the dialogs
# show. Exported files are read back byte by byte from the Linux side.
#
# Run by scripts/run-wine-tests.sh (which exports the Wine environment and BUILD_DIR), or alone:
#   BUILD_DIR=build/win64 tests/wine.d/e2e.sh
# Every wait polls with a deadline; a failed check prints what was seen and, with a screenshot
# of the display, goes on to the next check. Exits non-zero when any check failed.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
builddir=$(cd "${BUILD_DIR:?BUILD_DIR must name the Windows build folder}" && pwd)
host_exe="$builddir/tests/e2e/sirel_e2e_host.exe"
if [ ! -f "$host_exe" ]; then
  echo "e2e: $host_exe is missing" >&2
  exit 1
fi
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_locked "$builddir" "$0" "$@"
sirel_wine_setup "$builddir" || exit 1

# The export folder's name holds a character outside the ANSI code page, so every export also
# proves that the dialog and the file are opened by their wide names.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/sirel-e2e.XXXXXX")
work="$scratch/export $(printf '\u0436\u00e9')"
mkdir -p "$work"
artifacts="$builddir/e2e-artifacts"
rm -rf "$artifacts"
mkdir -p "$artifacts"
passed=0
failed=0
started=$SECONDS

# ---------------------------------------------------------------------------------------------
# The host: its working folder is the export folder, so the save dialog starts there.

cd "$work" || exit 1
coproc HOST { exec timeout -k 5 260 "$WINE" "$host_exe" 2>"$work/host.err"; }
host_pid=$HOST_PID
exec {to_host}>&"${HOST[1]}" {from_host}<&"${HOST[0]}"

finish() {
  echo "quit" >&"$to_host" 2>/dev/null
  local i
  for i in $(seq 50); do kill -0 "$host_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$host_pid" 2>/dev/null
  [ -n "${registered:-}" ] && wine_run 60 regsvr32 /s /u "$registered" >/dev/null 2>&1
  rm -rf "$scratch"
  sirel_wine_teardown
}
trap finish EXIT

reply=""
# ask <request>: sends one request and reads the host's one-line reply into $reply.
ask() {
  reply=""
  [ -n "${SIREL_E2E_TRACE:-}" ] && echo "    [$((SECONDS - started))s] ask $*" >&2
  echo "$*" >&"$to_host" || { echo "e2e: the host is gone" >&2; return 1; }
  if ! IFS= read -r -t 20 reply <&"$from_host"; then
    echo "e2e: no reply to '$*'" >&2
    return 1
  fi
}

# until_reply <seconds> <pattern> <request>: repeats the request until its reply matches the
# shell pattern; false when the deadline passes ($reply keeps the last answer).
until_reply() {
  local limit=$1 pattern=$2
  shift 2
  local deadline=$((SECONDS + limit))
  while :; do
    ask "$@" || return 1
    # shellcheck disable=SC2053
    [[ $reply == $pattern ]] && return 0
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.05
  done
}

# expect <seconds> <pattern> <what> <request>: polls like until_reply, then checks the reply.
expect() {
  local limit=$1 pattern=$2 what=$3
  shift 3
  until_reply "$limit" "$pattern" "$@"
  check "$what" "$reply" "$pattern"
}

shot=0
fail() {
  failed=$((failed + 1))
  shot=$((shot + 1))
  echo "  FAIL $*"
  import -window root "$artifacts/failure-$shot.png" 2>/dev/null && echo "       (screen: $artifacts/failure-$shot.png)"
}
pass() {
  passed=$((passed + 1))
  echo "  ok   $* [$((SECONDS - started))s]"
}
# check <what> <seen> <expected shell pattern>
check() {
  # shellcheck disable=SC2053
  if [[ $2 == $3 ]]; then pass "$1"; else fail "$1: expected [$3], saw [$2]"; fi
}

hex() { printf '%b' "$1" | od -An -v -tx1 | tr -d ' \n'; }
file_hex() { if [ -f "$1" ]; then od -An -v -tx1 "$1" | tr -d ' \n'; else echo "missing"; fi; }

section() { echo "=== $* (at $((SECONDS - started))s)"; }

# ---------------------------------------------------------------------------------------------
# Pointer and keys.

# pointer_to <x> <y>. (mousemove --sync waits for the pointer to move, so it would wait in vain
# when the pointer is already there.)
pointer_to() {
  local here
  here=$(xdotool getmouselocation)
  [[ $here == "x:$1 y:$2 "* ]] && return 0
  xdotool mousemove --sync "$1" "$2"
}
# at_line <index>: the pointer over a line (-1: over the list below its lines). Each call puts
# it 60 pixels left or right of the last spot, so two clicks on one line are never taken for a
# double-click.
side=40
at_line() { pointer_beside point "$1"; }
# pointer_beside <request> <argument>: the pointer beside the point the host names, 40 pixels
# left or right of it, turn about.
pointer_beside() {
  ask "$1" "$2" || return 1
  set -- $reply
  side=$((-side))
  pointer_to "$(($2 + side))" "$3"
}
click_line() { at_line "$1" && xdotool click 1; }
# at_row <k>: the pointer over the k-th row the list shows (0: the top row), whatever line is there.
at_row() { pointer_beside rowpoint "$1"; }
click_row() { at_row "$1" && xdotool click 1; }
ctrl_click_row() { at_row "$1" && xdotool keydown ctrl click 1 keyup ctrl; }
ctrl_click_line() { at_line "$1" && xdotool keydown ctrl click 1 keyup ctrl; }
keys() { xdotool key --clearmodifiers "$@"; }

# open_menu_on <index>: right-click a line and wait for the pop-up menu.
open_menu_on() {
  at_line "$1" && xdotool click 3
  until_reply 10 "menu 7 *" menu
}
# choose <index>: left-click an item of the open menu, and wait for the menu to close.
choose() {
  ask menupoint "$1" || return 1
  set -- $reply
  pointer_to "$2" "$3"
  xdotool click 1
  until_reply 10 "menu none" menu
}
# run_item <item index> [line index]: right-click a line (default 0) and choose an item.
run_item() {
  open_menu_on "${2:-0}" || { fail "the menu did not open (saw [$reply])"; return 1; }
  choose "$1" || { fail "the menu did not close (saw [$reply])"; return 1; }
}
# tidy: closes whatever a failed step left open (a dialog, a menu), so that one failure does
# not spoil the checks after it.
tidy() {
  local attempt
  for attempt in 1 2 3; do
    ask dialog
    [ "$reply" == "dialog none" ] && break
    fail "a dialog was left open: $reply"
    ask dialogpoint
    set -- $reply
    pointer_to "$2" "$3"
    keys Escape
    sleep 0.5
  done
  ask menu
  if [ "$reply" != "menu none" ]; then
    fail "a menu was left open"
    keys Escape
    until_reply 5 "menu none" menu
  fi
}
# fresh_list <line>...: an empty list, then these lines posted (the newest ends selected).
fresh_list() {
  tidy
  run_item 2
  local line
  for line in "$@"; do ask post "$line"; done
}
# until_dialog <title>: waits for a dialog with that title, puts the pointer over it (keys reach
# a window only while the pointer is over it) and leaves its report in $reply.
until_dialog() {
  local title
  title=$(hex "$1")
  if ! until_reply 10 "dialog title=$title *" dialog; then
    fail "no dialog titled '$1' (saw [$reply])"
    return 1
  fi
  local report=$reply
  ask dialogpoint
  set -- $reply
  pointer_to "$2" "$3"
  reply=$report
}
# until_closed <title>: waits until no dialog with that title is open (another may be).
until_closed() {
  local title deadline=$((SECONDS + 10))
  title=$(hex "$1")
  while ask dialog; do
    [[ $reply != "dialog title=$title "* ]] && return 0
    [ $SECONDS -ge $deadline ] && break
    sleep 0.05
  done
  fail "the dialog '$1' stayed open"
  return 1
}
# save_as <name>: answers the open save dialog by typing a name and pressing Return.
save_as() {
  until_dialog "Open A Long File" || return 1
  xdotool type --delay 10 "$1"
  keys Return
  until_closed "Open A Long File"
}
# close_box: Return closes the message box under the pointer.
close_box() {
  keys Return
  until_reply 10 "dialog none" dialog || fail "the message box stayed open"
}
# export_as <name>: "&Export To File", then the name typed into the dialog.
export_as() { run_item 4 && save_as "$1"; }

# ---------------------------------------------------------------------------------------------
section "e2e: waiting for the host"
if ! IFS= read -r -t 60 reply <&"$from_host" || [ "$reply" != "ready" ]; then
  echo "e2e: the host did not start (saw [$reply])" >&2
  cat "$work/host.err" >&2
  exit 1
fi

section "the pop-up menu"
for line in a b c d; do ask post "$line"; done
ask lines; check "four lines posted" "$reply" "lines 4 a|b|c|d"
click_line 0
ctrl_click_line 2
expect 5 "selected 0,2" "a click and a Ctrl+click select lines 0 and 2" selected

# That no menu opens can only be seen by waiting: a menu opens within a few milliseconds of the
# release, so 0.4 s is plenty (the only fixed waits of the suite).
at_line 1 && xdotool click 1 && sleep 0.4
ask menu; check "a left click opens no menu" "$reply" "menu none"
ask selected; check "the left click selected line 1 alone" "$reply" "selected 1"
click_line 0
ctrl_click_line 2
expect 5 "selected 0,2" "lines 0 and 2 selected again" selected
at_line 3 && xdotool click 2 && sleep 0.4
ask menu; check "a middle click opens no menu" "$reply" "menu none"

open_menu_on 1
check "a right-click opens the seven items in order" "$reply" \
  "menu 7 &Copy Selected Sirels|Copy &All|&Clear|&Delete Selected Messages|&Export To File|&Hide|A&bout"
ask selected; check "the right-click left the selection as it was" "$reply" "selected 0,2"

section "copying"
choose 0 || fail "the menu did not close"
ask clipboard
check "Copy Selected Sirels: lines 0 and 2, each with CR LF, for wide and narrow readers" \
  "$reply" "clipboard formats=* unicode=$(hex 'a\r\nc\r\n') text=$(hex 'a\r\nc\r\n')"

run_item 1 3
ask clipboard
check "Copy All: every line whatever the selection" "${reply#clipboard formats=* }" \
  "unicode=$(hex 'a\r\nb\r\nc\r\nd\r\n') text=$(hex 'a\r\nb\r\nc\r\nd\r\n')"
ask selected; check "copying changed no selection" "$reply" "selected 0,2"

ctrl_click_line 0
ctrl_click_line 2
expect 5 "selected -" "Ctrl+clicks cleared the selection" selected
ask setclipboard "held before"
run_item 0 1
ask clipboard
check "Copy Selected Sirels with nothing selected leaves the clipboard alone" "${reply#clipboard formats=* }" \
  "unicode=$(hex 'held before') text=$(hex 'held before')"

fresh_list "caf$(printf '\u00e9')" "$(printf '\u0436\u4e2d')" ""
run_item 1
ask clipboard
check "Copy All keeps characters outside the code page, and an empty line is CR LF" \
  "${reply#clipboard formats=* }" \
  "unicode=$(hex "caf\u00e9\r\n\u0436\u4e2d\r\n\r\n") text=*"

section "clear, delete, hide"
fresh_list 0 1 2 3 4
click_line 1
ctrl_click_line 3
expect 5 "selected 1,3" "lines 1 and 3 selected" selected
run_item 3 1
ask lines; check "Delete Selected Messages removes lines 1 and 3" "$reply" "lines 3 0|2|4"
run_item 3 0
ask lines; check "Delete with nothing selected changes nothing" "$reply" "lines 3 0|2|4"
run_item 2
ask lines; check "Clear empties the list" "$reply" "lines 0 "
at_line -1 && xdotool click 3
expect 10 "menu 7 *" "the menu opens on an empty list too" menu
choose 2
ask lines; check "Clear on an empty list does nothing" "$reply" "lines 0 "

ask post kept
run_item 5
expect 5 "window visible=0 formvisible=-1" \
  "Hide hides the window; FormVisible still reads what the client set" window
ask post "while hidden"
ask formvisible -1
expect 5 "window visible=1 formvisible=-1" "FormVisible set again shows it" window
ask lines; check "shown again with every line" "$reply" "lines 2 kept|while hidden"

section "About"
run_item 6
if until_dialog "About Sireler"; then
  about="Sireler\r\n\r\nWritten by the Sirel developers, Sirel Software\r\nhttps://sirel.example.org            support@sirel.example.org\r\n\r\nCopyright \u00a9 2026 Sirel Software. All rights reserved."
  check "the About box: its title, one OK button and its six lines" "$reply" \
    "dialog title=$(hex 'About Sireler') owner=message buttons=OK text=$(hex "$about") edits=-"
  keys Return
  expect 10 "dialog none" "Return closes the About box" dialog
fi

section "export"
fresh_list a b c
click_line 1
run_item 4
if until_dialog "Open A Long File"; then
  check "the save dialog belongs to the client's window, not the message window" \
    "$reply" "* owner=client *"
  check "its file-name field starts empty" "$reply" "* edits=-"
  xdotool type --delay 10 "log"
  close_box
fi
check "a typed name gets .txt, in a folder named outside the code page; every line with CR LF" "$(file_hex "$work/log.txt")" "$(hex 'a\r\nb\r\nc\r\n')"
ask selected; check "the export changed no selection" "$reply" "selected 1"

printf 'a much longer old content\r\n' >"$work/Notes.TXT"
export_as "Notes.TXT"
check "an existing file is replaced, a .TXT name kept" "$(file_hex "$work/Notes.TXT")" "$(hex 'a\r\nb\r\nc\r\n')"
check "and no second name made" "$(ls "$work" | grep -ci '^notes')" "1"
ask cwd; cwd_before=$reply
mkdir -p "$work/sub"
# Browsing into the folder (its name and Return), then the file's name.
run_item 4
if until_dialog "Open A Long File"; then
  xdotool type --delay 10 "sub"
  keys Return
  sleep 0.5
  save_as "moved"
fi
check "a name in another folder is written there" "$(file_hex "$work/sub/moved.txt")" "$(hex 'a\r\nb\r\nc\r\n')"
ask cwd; check "and the host's current directory stays where it was" "$reply" "$cwd_before"
export_as "data.csv"
check "data.csv becomes data.csv.txt" "$(file_hex "$work/data.csv.txt")" "$(hex 'a\r\nb\r\nc\r\n')"

# A name longer than the field takes: the field stops where folder, separator and name fill the
# 255-character name buffer but for its NUL, and that path keeps its last character.
folder_chars=$((2 + ${#work}))  # "Z:" and the folder's Unix path, in characters
fits=$((254 - folder_chars - 1))
export_as "$(printf 'n%.0s' $(seq 300))"
check "a name of 300 typed characters: the path fills the name buffer and is not cut" \
  "$(file_hex "$work/$(printf 'n%.0s' $(seq $fits)).txt")" "$(hex 'a\r\nb\r\nc\r\n')"

fresh_list "caf$(printf '\u00e9')" "$(printf '\u0436')"
export_as "wide"
check "a line outside the code page: the whole file in UTF-8 with a BOM" \
  "$(file_hex "$work/wide.txt")" "efbbbf$(hex "caf\u00e9\r\n\u0436\r\n")"
fresh_list "caf$(printf '\u00e9')"
export_as "narrow"
check "lines inside the code page: the code page's bytes" "$(file_hex "$work/narrow.txt")" "$(hex 'caf\xe9\r\n')"

before=$(ls "$work" | sort | tr '\n' ' ')
run_item 4
if until_dialog "Open A Long File"; then
  xdotool type --delay 10 "cancelled"
  keys Escape
  until_reply 10 "dialog none" dialog
fi
check "Cancel writes nothing" "$(ls "$work" | sort | tr '\n' ' ')" "$before"
fresh_list
export_as "empty"
check "an empty list writes nothing, even after a name was chosen" "$(file_hex "$work/empty.txt")" "missing"

section "errors are reported, nothing is lost"
fresh_list one
printf 'kept\r\n' >"$work/locked.txt"
chmod 444 "$work/locked.txt"
export_as "locked.txt"
if until_dialog "Sirel Messages"; then
  check "a read-only file: a message box says so" "$reply" \
    "dialog title=$(hex 'Sirel Messages') * text=$(hex 'Export To File failed: Permission denied')*"
  close_box
fi
check "the read-only file is left as it was" "$(file_hex "$work/locked.txt")" "$(hex 'kept\r\n')"

export_as "no such folder\\x"
if until_dialog "Sirel Messages"; then
  check "a folder that does not exist: a message box says so" "$reply" \
    "dialog title=* text=$(hex 'Export To File failed: Path not found')*"
  close_box
fi

ask setclipboard "held before"
ask holdclipboard
run_item 1
if until_dialog "Sirel Messages"; then
  check "a clipboard held by another program: a message box says so" "$reply" \
    "dialog title=* text=$(hex "Copy All failed: Can't open Clipboard")*"
  close_box
fi
ask releaseclipboard
ask clipboard
check "and the clipboard keeps what it held" "${reply#clipboard formats=* }" \
  "unicode=$(hex 'held before') text=$(hex 'held before')"
ask lines; check "the host lives on with its lines" "$reply" "lines 1 one"

section "keys"
fresh_list k0 k1 k2 k3
click_line 1
keys ctrl+a
expect 5 "selected 0,1,2,3" "Ctrl+A selects every line" selected
click_line 1
ctrl_click_line 2
expect 5 "selected 1,2" "lines 1 and 2 selected" selected
at_line 2 && keys ctrl+c
until_reply 5 "clipboard formats=* unicode=$(hex 'k1\r\nk2\r\n') *" clipboard
check "Ctrl+C copies the selected lines" "${reply#clipboard formats=* }" \
  "unicode=$(hex 'k1\r\nk2\r\n') text=$(hex 'k1\r\nk2\r\n')"
at_line 2 && keys Delete
expect 5 "lines 2 k0|k3" "Delete removes the selected lines" lines
click_line 1
keys shift+F10
expect 10 "menu 7 *" "Shift+F10 opens the menu" menu
ask selected; check "and leaves the selection" "$reply" "selected 1"
keys Escape
expect 10 "menu none" "Escape closes it and runs nothing" menu
ask lines; check "nothing changed" "$reply" "lines 2 k0|k3"
at_line 0 && keys Menu
expect 10 "menu 7 *" "the context-menu key opens the menu" menu
choose 1
ask clipboard
check "and its item runs" "${reply#clipboard formats=* }" "unicode=$(hex 'k0\r\nk3\r\n') text=$(hex 'k0\r\nk3\r\n')"

# ---------------------------------------------------------------------------------------------
section "a person works the list while a client posts every 10 ms"
# The host's timer posts "Tick <n>" while the host runs its messages, as a program that reports
# while its user reads would.
fresh_list
ask tick 10
until_reply 5 "follows 1" follows
check "postings follow the newest line" "$reply" "follows 1"
# Enough lines that the view is full and scrolls with the postings.
until_reply 10 "lines [2-9][0-9] *" lines
# The person points at rows of the picture, not at line numbers, which move with every posting.
click_row 1
until_reply 5 "follows 0" follows
ctrl_click_row 3
until_reply 5 "selected [0-9]*,[0-9]*" selected; picked=${reply#selected }
ask top; held_top=$reply
sleep 1
ask selected; check "a click and a Ctrl+click stay selected while lines arrive" "$reply" "selected $picked"
check "the two lines are two" "$picked" "*,*"
ask top; check "and the view does not move" "$reply" "$held_top"
ask lines; before_delete=$reply
picked_texts=()
IFS='|' read -r -a all_lines <<<"${before_delete#lines * }"
for i in ${picked//,/ }; do [[ $i =~ ^[0-9]+$ ]] && picked_texts+=("${all_lines[$i]}"); done
at_row 0 && keys Delete
# (A key reaches the host a moment after xdotool returns: look until the lines are gone.)
deadline=$((SECONDS + 5))
while :; do
  ask lines
  gone=yes
  for text in "${picked_texts[@]}"; do [[ "|${reply#lines * }|" == *"|$text|"* ]] && gone=no; done
  [ "$gone" = yes ] || [ $SECONDS -ge $deadline ] && break
  sleep 0.05
done
check "Delete removes the person's two lines, not the newest" "$gone" "yes"
keys End
until_reply 5 "follows 1" follows
check "End gives the list back: the newest line is selected as lines arrive" "$reply" "follows 1"
sleep 0.3
ask follows; check "and stays so" "$reply" "follows 1"

at_row 0 && xdotool click 4 click 4 click 4
until_reply 5 "follows 0" follows
ask top; wheel_top=$reply
sleep 0.5
ask top; check "the wheel scrolls up and the view holds" "$reply" "$wheel_top"
ask follows; check "the list does not follow meanwhile" "$reply" "follows 0"
at_row 0 && keys ctrl+End
until_reply 5 "follows 1" follows
check "Ctrl+End gives it back" "$reply" "follows 1"

click_row 1
until_reply 5 "follows 0" follows
keys shift+Down shift+Down
until_reply 5 "selected [0-9]*,[0-9]*,[0-9]*" selected; shifted=${reply#selected }
sleep 0.5
ask selected; check "Shift+arrows pick lines that stay picked" "$reply" "selected $shifted"
check "three lines" "$shifted" "*,*,*"

at_row 0 && keys ctrl+a
until_reply 5 "selected 0,1,2,*" selected; all_at=${reply#selected }
sleep 0.3
ask setclipboard marker
at_row 0 && keys ctrl+c
deadline=$((SECONDS + 5))
while ask clipboard; do
  [[ $reply == *"unicode=$(hex marker) "* ]] || break
  [ $SECONDS -ge $deadline ] && break
  sleep 0.05
done
clip=$reply
ask lines; count_now=${reply#lines }; count_now=${count_now%% *}
last_selected=${all_at##*,}
check "after Ctrl+A the lines that arrive stay unselected" \
  "$(( last_selected < count_now - 1 ))" "1"
copied=$(python3 -c 'import sys; print(bytes.fromhex(sys.argv[1]).count(b"\n"))' \
  "$(cut -d' ' -f1 <<<"${clip#*unicode=}")" 2>/dev/null)
check "Copy Selected copies every line there was at the Ctrl+A" "$copied" "$((last_selected + 1))"

opened=0
at_row 0
for try in $(seq 20); do
  xdotool click 3
  if until_reply 5 "menu 7 *" menu; then opened=$((opened + 1)); fi
  keys Escape
  until_reply 5 "menu none" menu
done
check "a right click opens the menu every time while lines arrive" "$opened" "20"
run_item 2 -1
ask lines; count_now=${reply#lines }; count_now=${count_now%% *}
check "and the chosen command runs (Clear)" "$(( count_now < 30 ))" "1"
until_reply 5 "follows 1" follows
check "Clear gives the list back" "$reply" "follows 1"
# Find while the ticks go on: Ctrl+F, a word typed, F3, a word with no match, Escape.
ask listrect; full_list=$reply
ask post "needle alpha"; sleep 0.3; ask post "Needle beta"; sleep 0.3
found=-1 found_text=""
# until_found <seconds> <not this index>: waits until the only selected line holds the word and
# is not that line; sets $found and $found_text.
until_found() {
  local deadline=$((SECONDS + $1))
  while ask selected; do
    found=${reply#selected }
    ask lines; IFS='|' read -r -a all_lines <<<"${reply#lines * }"
    found_text=${all_lines[$found]:-}
    [[ $found =~ ^[0-9]+$ && $found != "$2" && $found_text == [Nn]eedle* ]] && return 0
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.05
  done
}
click_row 0 && keys ctrl+f
deadline=$((SECONDS + 5))
while ask listrect && [ "$reply" = "$full_list" ] && [ $SECONDS -lt $deadline ]; do sleep 0.05; done
ask listrect; check "Ctrl+F opens the bar, which takes its height from the list" \
  "$(( ${reply#listrect } < ${full_list#listrect } ))" "1"
xdotool type --delay 50 needle
until_found 5 -1; first_found=$found
check "typing finds a line with the word, without regard to case" "$found_text" "[Nn]eedle *"
ask inview "$first_found"; check "and brings it into view" "$reply" "inview 1"
keys F3
until_found 5 "$first_found"
check "F3 goes to the other line with the word" "$found_text $found" "[Nn]eedle * [0-9]*"
check "not the first one" "$((found != first_found))" "1"
sleep 0.5
ask selected; check "and the postings leave the found line selected" "$reply" "selected $found"
xdotool type --delay 50 zzz
sleep 0.5
ask selected; check "a text with no match leaves the selection where it was" "$reply" "selected $found"
keys Escape
until_reply 5 "$full_list" listrect
check "Escape closes the bar and the list fills the window again" "$reply" "$full_list"
ask untick
run_item 2 -1

# ---------------------------------------------------------------------------------------------
# Pictures: what a person sees of lines posted by clients that never run their messages. The
# screen is read back with tesseract; lines are "<who> line <n>", and a check takes the largest
# n read in the window's rectangle (the newest line is selected, drawn inverted, and may read
# poorly, so the line before it counts as recent too).

ocr=0
newest=0
# newest_read <left px> <top px> <word>: sets $newest to the largest n of "<word> line <n>" read
# on screen in the message window whose top-left corner is there (0 when none).
newest_read() {
  ocr=$((ocr + 1))
  local picture="$artifacts/picture-$ocr.png"
  import -window root -crop "560x150+$(($1 - 5))+$(($2 - 5))" +repage "$picture" 2>/dev/null
  # The list's rows only (below the title bar), grey, three times the size, a margin around.
  convert "$picture" -crop 520x80+8+28 +repage -colorspace Gray -resize 300% \
    -bordercolor white -border 30 "$picture.big.png" 2>/dev/null
  newest=$(tesseract "$picture.big.png" - --psm 6 2>/dev/null | grep -oiE "$3 line [0-9]+" | grep -oE '[0-9]+$' | sort -n | tail -1)
  newest=${newest:-0}
  rm -f "$picture.big.png"
}
# until_output <seconds> <file> <line>: waits for a client's output file to hold that line.
until_output() {
  local deadline=$((SECONDS + $1))
  until grep -q "^$3" "$2" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}
# busy_script <name> <parent> <top twips> <left twips> [unpictured]: runs the busy script client
# (20 lines posted hidden, the window shown, then 60 lines, 100 ms apart, then a message box),
# and checks its window's picture once it is shown, while it posts and while it waits (unless
# "unpictured": then only that the script gets through). The window's corner is in pixels at
# 15 twips a pixel.
busy_script() {
  local name=$1 parent=$2 top=$(($3 / 15)) left=$(($4 / 15)) out="$work/$1.out"
  local pictured=1
  [ "${5:-}" = unpictured ] && pictured=0
  wine_run 60 cscript //nologo "$(windows_path "$builddir/busy_client.vbs")" "$parent" \
    "Script $name" "$3" "$4" 60 20 >"$out" 2>&1 &
  local client=$!
  if [ $pictured -eq 1 ] && until_output 30 "$out" shown; then
    sleep 1
    newest_read "$left" "$top" Hidden
    if [ "$newest" -ge 19 ]; then
      pass "$name: lines posted while hidden drawn once shown, the script still busy (read $newest)"
    else
      fail "$name: once shown, read hidden line $newest of 20"
    fi
  fi
  if ! until_output 30 "$out" posting; then
    fail "$name: the script did not start posting ($(tr -d '\r' <"$out" | head -3))"
    wait "$client"
    return
  fi
  sleep 2
  local first second
  if [ $pictured -eq 0 ]; then
    newest_read "$left" "$top" Script  # kept among the artifacts
    for what in waiting done; do
      if until_output 40 "$out" $what; then
        pass "$name: the script posts all its lines and gets to '$what' (Wine draws no such window)"
      else
        fail "$name: the script did not get to '$what'"
      fi
    done
    wait "$client"
    return
  fi
  newest_read "$left" "$top" Script
  first=$newest
  sleep 1
  newest_read "$left" "$top" Script
  second=$newest
  if grep -q '^waiting' "$out"; then
    fail "$name: the machine was too slow to picture the busy loop"
  elif [ "$first" -ge 5 ] && [ "$second" -ge $((first + 5)) ]; then
    pass "$name: lines drawn while the script posts without running messages (read $first, a second later $second)"
  else
    fail "$name: while the script posts, read line $first, a second later $second"
  fi
  # One picture a second after the message box appears. (Wine's Popup shows it from a thread of
  # its own; the script's thread runs no messages: its last line was drawn when posted.)
  if until_output 30 "$out" waiting && timeout 20 xdotool search --sync --onlyvisible --name "^Script waits$" >/dev/null; then
    sleep 1
    newest_read "$left" "$top" Script
    if [ "$newest" -ge 59 ]; then
      pass "$name: the last lines drawn while the script waits in a message box (read $newest)"
    else
      fail "$name: while the script waits, read line $newest of 60"
    fi
  else
    fail "$name: the script's message box did not appear"
  fi
  if until_output 30 "$out" done; then
    pass "$name: the script ends"
  else
    fail "$name: the script did not end"
  fi
  wait "$client"
}

section "pictures"
tidy
run_item 2
cp "$root/tests/e2e/busy_client.vbs" "$builddir/busy_client.vbs"
sed -i 's/\r*$/\r/' "$builddir/busy_client.vbs"
registered=$(windows_path "$builddir/src/automation/Sirel.dll")
if wine_run 60 regsvr32 /s "$registered"; then
  # On its own on the desktop: the class name matches nothing. (With no foreground window at
  # all, the case of a script run alone, the window is in the same state: no parent.)
  busy_script "alone" nothing 11400 1500
  # A child of the host's window, a window of another process: Wine draws no such window (see
  # docs/win32-shell.md), so only that nothing hangs is checked.
  busy_script "other" SirelE2EClient 6000 1500 unpictured
  ask ping; check "the host answers after a script's window was its child" "$reply" "pong"
else
  fail "regsvr32 of Sirel.dll failed"
fi

# The host's own message window, a child of its window, while the host posts without running
# its messages: the request is answered only when the 30 lines are posted.
echo "busy 30" >&"$to_host"
sleep 1.5
newest_read 100 100 Host
first=$newest
sleep 1
newest_read 100 100 Host
second=$newest
if [ "$first" -ge 5 ] && [ "$second" -ge $((first + 5)) ]; then
  pass "host child: lines drawn while the host posts without running messages (read $first, then $second)"
else
  fail "host child: while the host posts, read line $first, a second later $second"
fi
if IFS= read -r -t 30 reply <&"$from_host" && [ "$reply" = "ok" ]; then
  sleep 0.5
  newest_read 100 100 Host
  last=$newest
  if [ "$last" -ge 29 ]; then
    pass "host child: the last lines drawn once the host runs its messages (read $last)"
  else
    fail "host child: after the busy loop, read line $last of 30"
  fi
else
  fail "host child: no answer to the busy request (saw [$reply])"
fi

if [ -n "${SIREL_E2E_SCREENSHOT:-}" ]; then
  # The picture of the menu for the documentation.
  fresh_list "1: 10: Build started" "2: 20: Compiling 14 files" "3: 30: Tests passed" \
    "4: 10: Package written to out\\release"
  click_line 1
  ctrl_click_line 2
  open_menu_on 2
  import -window root -crop 560x200+90+90 "$SIREL_E2E_SCREENSHOT" && echo "  (menu shown in $SIREL_E2E_SCREENSHOT)"
  keys Escape
fi

echo
echo "=== e2e: $passed passed, $failed failed in $((SECONDS - started))s"
if [ "$failed" -ne 0 ]; then
  echo "--- host stderr"
  tail -20 "$work/host.err"
fi
[ "$failed" -eq 0 ]
