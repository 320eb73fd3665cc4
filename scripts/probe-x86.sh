#!/usr/bin/env bash
# Can this machine run the x86 build? Exits 0 when it can; otherwise prints the reason on
# stdout and exits 1. Nothing is assumed: a kernel can be built (or booted) without 32-bit
# support, so a tiny static 32-bit Linux program is run, then the 32-bit Wine loader is looked for.
#
#   scripts/probe-x86.sh [--kernel-only] [--skipping WHAT]
#   scripts/probe-x86.sh --summary
#
# SIREL_NO_X86=1 makes the answer "no" in every mode, so that any machine behaves as one whose
# kernel runs no 32-bit programs, and every script that asks the probe follows it.
#
# --skipping WHAT: a caller that skips a check when the answer is no names it here; the probe
# then notes "WHAT" in the skip log (SIREL_X86_SKIP_LOG, default build/x86-skipped.txt).
# --summary prints the one line that make test ends with: the x86 checks that were skipped and
# why, or that none were; it always exits 0. make test empties the log when it starts.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
skip_log="${SIREL_X86_SKIP_LOG:-$root/build/x86-skipped.txt}"

kernel_only="" skipping=""
while [ $# -gt 0 ]; do
  case "$1" in
    --kernel-only) kernel_only=1 ;;
    --skipping) skipping="${2:?--skipping needs the name of the check}"; shift ;;
    --summary)
      if [ -s "$skip_log" ]; then
        checks=$(cut -d'|' -f1 "$skip_log" | awk '!seen[$0]++' | paste -sd, - | sed 's/,/, /g')
        reasons=$(cut -d'|' -f2- "$skip_log" | awk '!seen[$0]++' | paste -sd';' - | sed 's/;/; /g')
        echo "x86 checks skipped: $checks; because $reasons"
      else
        echo "x86 checks skipped: none"
      fi
      exit 0 ;;
    *) echo "usage: $0 [--kernel-only] [--skipping WHAT] | --summary" >&2; exit 2 ;;
  esac
  shift
done

# no REASON: the answer is no; a caller that skips something for it has it noted.
no() {
  echo "$1"
  if [ -n "$skipping" ]; then
    mkdir -p "$(dirname "$skip_log")"
    echo "$skipping|$1" >>"$skip_log"
  fi
  exit 1
}

if [ "${SIREL_NO_X86:-}" = 1 ]; then
  no "SIREL_NO_X86=1 makes this machine behave as one that runs no 32-bit programs"
fi

# A 96-byte i386 ELF program whose only instructions are exit(42) through int 0x80.
probe=$(mktemp "${TMPDIR:-/tmp}/sirel-probe-x86.XXXXXX")
trap 'rm -f "$probe"' EXIT
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$probe"
printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$probe"
printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >>"$probe"
printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$probe"
printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$probe"
printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >>"$probe"
chmod +x "$probe"
status=0
"$probe" 2>/dev/null || status=$?
if [ "$status" -ne 42 ]; then
  no "this kernel does not run 32-bit programs (a 32-bit probe program gave status $status, not 42)"
fi
[ -n "$kernel_only" ] && exit 0

if [ ! -x /usr/lib/wine/wine ]; then
  no "the 32-bit Wine loader /usr/lib/wine/wine is missing (wine32:i386 is not installed)"
fi
exit 0
