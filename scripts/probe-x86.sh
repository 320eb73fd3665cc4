#!/usr/bin/env bash
# Can this machine run the x86 build? Exits 0 when it can; otherwise prints the reason on
# stdout and exits 1. Nothing is assumed: a kernel can be built (or booted) without 32-bit
# support, so a tiny static 32-bit Linux program is run, then the 32-bit Wine loader is looked for.
#
#   scripts/probe-x86.sh [--kernel-only]
set -uo pipefail

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
  echo "this kernel does not run 32-bit programs (a 32-bit probe program gave status $status, not 42)"
  exit 1
fi
[ "${1:-}" = "--kernel-only" ] && exit 0

if [ ! -x /usr/lib/wine/wine ]; then
  echo "the 32-bit Wine loader /usr/lib/wine/wine is missing (wine32:i386 is not installed)"
  exit 1
fi
exit 0
