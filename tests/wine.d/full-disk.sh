#!/usr/bin/env bash
# An export over an existing file on a disk that fills up: a tmpfs of 512 KiB holds the old
# export, and the Win32 port test writes 4 MiB over it through Wine (SIREL_FULL_FOLDER names the
# folder). The old file must stay byte for byte, with no temporary file left. The mount needs
# root (CI runs as root); without it the case is reported skipped.
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_locked "$BUILD_DIR" "$0" "$@"
sirel_wine_setup "$BUILD_DIR" || exit 1

full=$(mktemp -d /tmp/sirel-full-disk.XXXXXX)
if ! mount -t tmpfs -o size=512k tmpfs "$full" 2>/dev/null; then
  echo "full-disk [$SIREL_ARCH]: SKIPPED, no tmpfs could be mounted (not root?)"
  rmdir "$full"
  exit 0
fi
trap 'umount "$full"; rmdir "$full"; sirel_wine_teardown' EXIT

SIREL_FULL_FOLDER=$(windows_path "$full") wine_run 120 "$BUILD_DIR/tests/win32/sirel_win32_tests.exe" \
  --gtest_filter='DiskTextFileTest.WritesTheNewTextOrKeepsTheOld*'
