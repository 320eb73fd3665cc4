#!/usr/bin/env bash
# Builds the release files from the two Release builds (build/win64, build/win32):
#
#   dist/Sirel-<version>.zip        both DLLs, their manifests, the samples, the C++ header,
#                                   install.cmd / uninstall.cmd, the user's README, the licence
#   dist/Sirel-<version>-x64.msi    the installer of the x64 DLL
#   dist/Sirel-<version>-x86.msi    the installer of the x86 DLL
#   dist/SHA256SUMS                 the SHA-256 of each of them (sha256sum -c reads it)
#
# Two runs of one commit give the same bytes, in any folder and at any time: every time stamp
# is SOURCE_DATE_EPOCH (by default the commit's time), the archive's entries are sorted, the
# installers' codes are derived (scripts/build-msi.sh), and the builds write no paths
# (CMakeLists.txt). scripts/check-reproducible.sh shows it.
#
# Signing (Authenticode, osslsigncode), only when a certificate is given:
#   SIREL_SIGN_PKCS12         the PKCS#12 file with the code-signing certificate and its key
#   SIREL_SIGN_PASSWORD       its password (may be empty)
#   SIREL_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server (optional)
# Both DLLs are signed before anything is made from them (the registration capture, the archive,
# the installers), then both installers. Without SIREL_SIGN_PKCS12 nothing is signed.
# SIREL_DIST_DIR and SIREL_DIST_WORK put the release files and the scratch folder elsewhere
# than dist/ and build/dist (the signing test uses them); SIREL_DIST_WINE_DIR names the folder
# whose Wine prefix does the registration capture (default build/dist: a prefix is made once,
# weighs over a gigabyte, and each capture leaves it as it found it).
#
# The version is the CMake project's (CMakeLists.txt), read from the build's cache. What the
# installers write to the registry and what the side-by-side manifests declare come from one
# capture: the x64 DLL registers itself for the user in a scratch Wine prefix (build/dist), the
# user's classes are exported before and after, and tools/release/release.py keeps the
# difference; the x86 DLL's registration is derived from it (release.py derive-x86) and, where
# 32-bit programs run, checked against what the x86 DLL itself registers. Nothing of the
# registration is written twice by hand, and the release is the same on every machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool="$root/tools/release/release.py"
out="${SIREL_DIST_DIR:-$root/dist}"
work="${SIREL_DIST_WORK:-$root/build/dist}"
wine_dir="${SIREL_DIST_WINE_DIR:-$root/build/dist}"
# The whole run holds the lock of the scratch prefix (the script runs again under it).
mkdir -p "$work" "$wine_dir"
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
sirel_wine_locked "$wine_dir" "$0" "$@"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/win64/CMakeCache.txt")
version_x86=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/win32/CMakeCache.txt")
if [ -z "$version" ] || [ "$version" != "$version_x86" ]; then
  echo "make-dist: the two builds disagree on the version ('$version', '$version_x86')" >&2
  exit 1
fi
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=""
fi
if ! [[ "$SOURCE_DATE_EPOCH" =~ ^[0-9]+$ ]]; then
  echo "make-dist: no commit time: run it in a git checkout or set SOURCE_DATE_EPOCH" >&2
  exit 1
fi
export SOURCE_DATE_EPOCH
signing=""
if [ -n "${SIREL_SIGN_PKCS12:-}" ]; then
  if [ ! -f "$SIREL_SIGN_PKCS12" ]; then
    echo "make-dist: no file $SIREL_SIGN_PKCS12 (SIREL_SIGN_PKCS12)" >&2
    exit 1
  fi
  signing=1
fi

# sign FILE: signs FILE in place with the given certificate (and time stamp, when a server is
# named). The password goes to osslsigncode in a file, not on its command line.
sign() {
  local password="$work/sign-password" ts=()
  [ -n "${SIREL_SIGN_TIMESTAMP_URL:-}" ] && ts=(-ts "$SIREL_SIGN_TIMESTAMP_URL")
  (umask 077 && printf '%s' "${SIREL_SIGN_PASSWORD:-}" >"$password")
  local status=0
  osslsigncode sign -pkcs12 "$SIREL_SIGN_PKCS12" -readpass "$password" -h sha256 \
    -n "Sirel $version" "${ts[@]}" -in "$1" -out "$1.signed" >"$work/sign.log" 2>&1 || status=$?
  rm -f "$password"
  if [ "$status" -ne 0 ]; then
    cat "$work/sign.log" >&2
    echo "make-dist: signing $1 failed" >&2
    rm -f "$1.signed"
    exit 1
  fi
  mv "$1.signed" "$1"
  echo "make-dist: signed $(basename "$(dirname "$1")")/$(basename "$1")${ts:+, time-stamped}"
}

declare -A dll=(
  [x64]="$root/build/win64/src/automation/Sirel.dll"
  [x86]="$root/build/win32/src/automation/Sirel.dll"
)
declare -A strip=([x64]=x86_64-w64-mingw32-strip [x86]=i686-w64-mingw32-strip)
# The 32-bit registry tool sees the 32-bit view, where the x86 DLL's registration lives.
declare -A system_folder=([x64]='C:\windows\system32' [x86]='C:\windows\syswow64')

rm -rf "$work/stage" "$work/capture" "$out"
mkdir -p "$work/stage" "$work/capture" "$out"
stage="$work/stage"

# ---- the DLLs, stripped of their symbol tables, signed when a certificate is given ------------
for arch in x64 x86; do
  mkdir -p "$stage/$arch"
  "${strip[$arch]}" -s -o "$stage/$arch/Sirel.dll" "${dll[$arch]}"
  python3 "$tool" pe-align "$stage/$arch/Sirel.dll"  # so that unsigning gives the same bytes
  [ -z "$signing" ] || sign "$stage/$arch/Sirel.dll"
done

# ---- what each DLL registers ---------------------------------------------------------------------
# The x64 DLL registers itself for the user in a scratch prefix (the x64 loader runs on every
# machine); the x86 DLL's registration is derived from that capture, so that the release is the
# same bytes on a machine that runs no 32-bit programs. Where 32-bit programs run, the x86 DLL
# registers itself too, as a check that the derived registration is what it really writes.
sirel_wine_setup "$wine_dir" || { echo "make-dist: no Wine environment" >&2; exit 1; }
classes='HKCU\Software\Classes'
# capture_registration ARCH OUT.json: what that DLL's own regsvr32 adds to the user's classes.
capture_registration() {
  local arch="$1" capture="$work/capture/$1"
  mkdir -p "$capture"
  cp "$stage/$arch/Sirel.dll" "$capture/Sirel.dll"
  local target reg regsvr32
  target=$(windows_path "$capture/Sirel.dll")
  reg="${system_folder[$arch]}\\reg.exe"
  regsvr32="${system_folder[$arch]}\\regsvr32.exe"
  # (reg export fails, writing nothing, while the user has no classes key at all.)
  # A run stopped half-way may have left this path registered: take it back first.
  wine_run 60 "$regsvr32" /s /u /n /i:user "$target" || true
  wine_run 60 "$reg" export "$classes" "$(windows_path "$capture/before.reg")" /y >/dev/null 2>&1 || true
  wine_run 60 "$regsvr32" /s /n /i:user "$target"
  wine_run 60 "$reg" export "$classes" "$(windows_path "$capture/after.reg")" /y >/dev/null
  wine_run 60 "$regsvr32" /s /u /n /i:user "$target"
  wine_run 60 "$reg" export "$classes" "$(windows_path "$capture/removed.reg")" /y >/dev/null 2>&1 || true
  python3 "$tool" capture "$capture/before.reg" "$capture/after.reg" "$capture/removed.reg" "$target" "$2"
  rm -f "$capture/Sirel.dll"
}
capture_registration x64 "$work/registration-x64.json"
python3 "$tool" derive-x86 "$work/registration-x64.json" "$work/registration-x86.json"
if reason=$(bash "$root/scripts/probe-x86.sh" --skipping "make dist's check of the x86 registration"); then
  capture_registration x86 "$work/capture/registration-x86-captured.json"
  python3 "$tool" compare "$work/registration-x86.json" "$work/capture/registration-x86-captured.json"
  echo "make-dist: the x86 DLL registers what was derived for it from the x64 one"
else
  echo "make-dist: the x86 registration derived from the x64 one, not checked against the x86 DLL: $reason"
fi
sirel_wine_teardown
for arch in x64 x86; do
  python3 "$tool" manifest "$work/registration-$arch.json" "$arch" "$version" \
    "$stage/$arch/Sirel.X.manifest"
done

# ---- the installers ------------------------------------------------------------------------------
for arch in x64 x86; do
  bash "$root/scripts/build-msi.sh" "$arch" "$version" "$work/registration-$arch.json" \
    "$stage/$arch/Sirel.dll" "$out/Sirel-$version-$arch.msi"
  [ -z "$signing" ] || sign "$out/Sirel-$version-$arch.msi"
done

# ---- the archive ---------------------------------------------------------------------------------
cp "$root/LICENSE" "$stage/LICENSE.txt"
cp "$root/docs/screenshot.png" "$stage/screenshot.png"
python3 "$tool" readme "$root/packaging/README.md.in" "$root/src/core/errors.h" "$version" \
  "$root/README.md" "$stage/README.md"
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }  # what Windows' editors and cmd.exe expect
crlf "$root/packaging/install.cmd" "$stage/install.cmd"
crlf "$root/packaging/uninstall.cmd" "$stage/uninstall.cmd"
mkdir -p "$stage/include"
generated="$root/build/win64/src/automation/generated"
for file in Sirel_h.h Sirel_i.c; do
  # One header serves both bitnesses; refuse to ship it if the two builds made different ones.
  cmp -s "$generated/$file" "$root/build/win32/src/automation/generated/$file" || {
    echo "make-dist: the x64 and x86 builds generated different $file" >&2
    exit 1
  }
  crlf "$generated/$file" "$stage/include/$file"
done
crlf "$root/src/automation/Sirel.idl" "$stage/include/Sirel.idl"
for sample in vbscript/hello.vbs jscript/hello.js vba/SirelSample.bas vba/SirelEvents.cls \
              powershell/hello.ps1 cpp/hello.cpp cpp/hello.rc; do
  mkdir -p "$stage/samples/$(dirname "$sample")"
  crlf "$root/samples/$sample" "$stage/samples/$sample"
done
sed "s/@VERSION@/$version/" "$root/samples/cpp/hello.exe.manifest.in" >"$work/hello.exe.manifest"
crlf "$work/hello.exe.manifest" "$stage/samples/cpp/hello.exe.manifest"
python3 "$tool" contents "$root/README.md" "$stage"

zip_file="$out/Sirel-$version.zip"
python3 "$tool" zip "$stage" "$SOURCE_DATE_EPOCH" "$zip_file"
python3 "$tool" sums "$out"
echo "make-dist: wrote into ${out}: $(cd "$out" && echo *)"
(cd "$out" && cat SHA256SUMS)
