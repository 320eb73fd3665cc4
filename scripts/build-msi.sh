#!/usr/bin/env bash
# Builds one installer from a registration capture (see make-dist.sh):
#
#   scripts/build-msi.sh ARCH VERSION CAPTURE.json DLL OUT.msi
#
# make-dist.sh builds the released ones; the installer tests build a higher version the same way
# to check the upgrade.
set -euo pipefail
if [ $# -ne 5 ]; then
  echo "usage: $0 x64|x86 VERSION CAPTURE.json DLL OUT.msi" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
arch="$1" version="$2" capture="$3" dll="$4" msi="$5"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# wixl takes sources relative to the folder it runs in.
cp "$dll" "$work/Sirel.dll"
python3 "$root/tools/release/release.py" wxs "$capture" "$arch" "$version" Sirel.dll "$work/Sirel.wxs"
(cd "$work" && wixl --arch "$arch" -o Sirel.msi Sirel.wxs)
# wixl writes the root HKMU as 4; the installer's number for it is -1 (the user's classes for a
# per-user installation, the machine's with ALLUSERS=1).
msibuild "$work/Sirel.msi" -q 'UPDATE `Registry` SET `Root` = -1 WHERE `Root` = 4'
mv "$work/Sirel.msi" "$msi"
