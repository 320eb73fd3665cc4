#!/usr/bin/env bash
# Builds one installer from a registration capture (see make-dist.sh):
#
#   scripts/build-msi.sh ARCH VERSION CAPTURE.json DLL OUT.msi
#
# make-dist.sh builds the released ones; the installer tests build a higher version the same way
# to check the upgrade.
#
# The same inputs give the same bytes: the product code follows the bitness and the version, the
# package code also the DLL (tools/release/release.py codes), and every time in the package (the
# summary's dates, the cabinet's file time) is SOURCE_DATE_EPOCH, by default the commit's (wixl
# reads the clock, so it runs under faketime with the clock stopped; it draws the package code
# at random, which msibuild then replaces).
set -euo pipefail
if [ $# -ne 5 ]; then
  echo "usage: $0 x64|x86 VERSION CAPTURE.json DLL OUT.msi" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
arch="$1" version="$2" capture="$3" dll="$4" msi="$5"
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=""
fi
if ! [[ "$SOURCE_DATE_EPOCH" =~ ^[0-9]+$ ]]; then
  echo "build-msi: no commit time: run it in a git checkout or set SOURCE_DATE_EPOCH" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# wixl takes sources relative to the folder it runs in.
cp "$dll" "$work/Sirel.dll"
touch -d "@$SOURCE_DATE_EPOCH" "$work/Sirel.dll"
python3 "$root/tools/release/release.py" wxs "$capture" "$arch" "$version" Sirel.dll "$work/Sirel.wxs"
codes=$(python3 "$root/tools/release/release.py" codes "$arch" "$version" "$dll")
package_code=$(sed -n 2p <<<"$codes")
# wixl orders some rows (the string pool, so the sequence tables) by where its data lies in
# memory: it runs with address randomisation off (setarch -R) and in a clean environment, so
# that the same inputs give the same layout.
(cd "$work" && env -i PATH=/usr/bin:/bin TZ=UTC setarch -R \
  faketime -f "$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')" \
  wixl --arch "$arch" -o Sirel.msi Sirel.wxs)
# msibuild -s writes the subject, the author, the template and the package code together.
summary() { msiinfo suminfo "$work/Sirel.msi" | sed -n "s/^$1: //p"; }
msibuild "$work/Sirel.msi" -s "$(summary Subject)" "$(summary Author)" "$(summary Template)" "$package_code"
if [ "$(summary 'Revision number (UUID)')" != "$package_code" ]; then
  echo "build-msi: the package code was not set" >&2
  exit 1
fi
# wixl writes the root HKMU as 4; the installer's number for it is -1 (the user's classes for a
# per-user installation, the machine's with ALLUSERS=1).
msibuild "$work/Sirel.msi" -q 'UPDATE `Registry` SET `Root` = -1 WHERE `Root` = 4'
# Windows Installer compares only the first three parts of a version, and this project's releases
# differ in the fourth (1.1.0.1, 1.1.0.2 ...): the upgrade row must include its maximum, or a
# next release would install beside the older one instead of replacing it. (wixl knows no
# AllowSameVersionUpgrades; 513 = migrate features + maximum inclusive.)
upgrade=$(msiinfo export "$work/Sirel.msi" Upgrade | tr -d '\r' | awk -F'\t' '$5 == "1" {print $1 "\t" $3}')
[ "$(wc -l <<<"$upgrade")" -eq 1 ] || { echo "build-msi: no single upgrade row" >&2; exit 1; }
IFS=$'\t' read -r upgrade_code version_max <<<"$upgrade"
msibuild "$work/Sirel.msi" -q 'DELETE FROM `Upgrade` WHERE `Attributes` = 1'
msibuild "$work/Sirel.msi" -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade_code', '$version_max', 513, 'WIX_UPGRADE_DETECTED')"
mv "$work/Sirel.msi" "$msi"
