#!/usr/bin/env bash
# Authenticode signing of the release: make dist run with a throwaway code-signing certificate
# (made here with openssl) and a time-stamp server on the loopback address (openssl ts behind
# tests/wine.d/lib/timestamp_server.py), into a folder of its own. Then:
# - both DLLs (as staged, in the archive and in each installer) and both installers pass
#   `osslsigncode verify` against that certificate, with a verified time stamp;
# - a DLL changed by one byte after signing fails it;
# - a signed DLL without its signature is byte for byte the unsigned release DLL of dist/, and
#   a signed installer without its signature has the tables and streams of the unsigned
#   installer built from the same (signed) DLL: signing changes nothing else;
# - the signed DLLs register (make dist's capture did, with each bitness's regsvr32) and work:
#   each bitness's cscript creates a poster from them (x86 skipped where no 32-bit programs run).
# Run by scripts/run-wine-tests.sh (WINE, WINEPREFIX, BUILD_DIR exported), in the x64 run.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/wine.d/lib/release-checks.sh
source "$root/tests/wine.d/lib/release-checks.sh"
release_setup release-signing "$@"

keys="$work/keys"
mkdir -p "$keys"
password="throwaway-$RANDOM"
# The code-signing certificate (self-signed: it is its own trust anchor in the checks).
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Sirel test signer" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$keys/signer-key.pem" -out "$keys/signer.pem" 2>/dev/null || fail "openssl req (signer)"
openssl pkcs12 -export -inkey "$keys/signer-key.pem" -in "$keys/signer.pem" \
  -out "$keys/signer.p12" -passout "pass:$password" || fail "openssl pkcs12"
# The time-stamping authority.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Sirel test time stamps" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=critical,timeStamping" \
  -keyout "$keys/tsa-key.pem" -out "$keys/tsa.pem" 2>/dev/null || fail "openssl req (time stamps)"
echo 01 >"$keys/tsa-serial"
cat >"$keys/tsa.cnf" <<EOF
[tsa]
default_tsa = tsa_config
[tsa_config]
serial = $keys/tsa-serial
signer_cert = $keys/tsa.pem
signer_key = $keys/tsa-key.pem
certs = $keys/tsa.pem
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
python3 "$root/tests/wine.d/lib/timestamp_server.py" "$keys/tsa.cnf" "$keys/port" &
server=$!
trap 'kill "$server" 2>/dev/null; sirel_wine_teardown' EXIT
for _ in $(seq 50); do [ -s "$keys/port" ] && break; sleep 0.1; done
[ -s "$keys/port" ] || { fail "the time-stamp server did not start"; finish release-signing; }

echo "release-signing: make dist, signed and time-stamped, into $work/dist"
# A make dist of its own (own output and scratch folders; make dist's Wine prefix), outside
# this run's Wine environment.
env -u SIREL_WINE_READY -u SIREL_WINE_LOCKED -u WINEPREFIX no_proxy=127.0.0.1 NO_PROXY=127.0.0.1 \
  SIREL_SIGN_PKCS12="$keys/signer.p12" SIREL_SIGN_PASSWORD="$password" \
  SIREL_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat "$keys/port")/" \
  SIREL_DIST_DIR="$work/dist" SIREL_DIST_WORK="$work/build" \
  bash "$root/scripts/make-dist.sh" || { fail "make dist with a certificate"; finish release-signing; }

# verified FILE LABEL: the file's signature holds against the test certificate, time-stamped.
verified() {
  local output
  output=$(osslsigncode verify -CAfile "$keys/signer.pem" -TSA-CAfile "$keys/tsa.pem" -in "$1" 2>&1)
  if ! grep -q '^Signature verification: ok' <<<"$output" ||
     ! grep -q '^Timestamp Server Signature verification: ok' <<<"$output"; then
    fail "$2: the signature does not verify: $(grep -iE 'error|fail' <<<"$output" | head -3)"
    return 1
  fi
  pass "$2: signed and time-stamped"
}

unpacked="$work/unpacked"
mkdir -p "$unpacked/zip"
unzip -q "$work/dist/Sirel-$version.zip" -d "$unpacked/zip" || fail "unzip the signed archive"
for arch in x64 x86; do
  signed="$work/build/stage/$arch/Sirel.dll"
  verified "$signed" "$arch DLL"
  cmp -s "$signed" "$unpacked/zip/$arch/Sirel.dll" || fail "$arch: the archive's DLL is not the signed one"
  msi="$work/dist/Sirel-$version-$arch.msi"
  verified "$msi" "$arch installer"
  mkdir -p "$unpacked/$arch"
  (cd "$unpacked/$arch" && msiextract "$msi" >/dev/null) || fail "$arch: msiextract"
  cmp -s "$signed" "$(find "$unpacked/$arch" -name Sirel.dll | head -1)" \
    || fail "$arch: the installer's DLL is not the signed one"

  osslsigncode remove-signature -in "$signed" -out "$unpacked/$arch-removed.dll" >/dev/null 2>&1
  cmp -s "$unpacked/$arch-removed.dll" "$root/build/dist/stage/$arch/Sirel.dll" \
    && pass "$arch DLL: without its signature it is the unsigned release DLL" \
    || fail "$arch DLL: without its signature it differs from the unsigned release DLL"

  # The installer: osslsigncode rewrites the compound file, so compare what it holds.
  osslsigncode remove-signature -in "$msi" -out "$unpacked/$arch-removed.msi" >/dev/null 2>&1
  bash "$root/scripts/build-msi.sh" "$arch" "$version" "$work/build/registration-$arch.json" \
    "$signed" "$unpacked/$arch-unsigned.msi" || fail "$arch: build-msi"
  for file in "$arch-removed" "$arch-unsigned"; do
    mkdir -p "$unpacked/$file.dump"
    (cd "$unpacked/$file.dump" && msidump -s -t "../$file.msi" >/dev/null 2>&1 &&
      msiinfo suminfo "../$file.msi" >summary.txt) || fail "msidump $file.msi"
  done
  diff -r "$unpacked/$arch-removed.dump" "$unpacked/$arch-unsigned.dump" >/dev/null \
    && pass "$arch installer: without its signature it holds what the unsigned one does" \
    || fail "$arch installer: without its signature it differs from the unsigned one"
done

# One byte changed after signing (in the code, far from the signature) must fail the check.
tampered="$unpacked/tampered.dll"
cp "$work/build/stage/x64/Sirel.dll" "$tampered"
offset=4096
byte=$(od -An -tu1 -j "$offset" -N1 "$tampered" | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" | dd of="$tampered" bs=1 seek="$offset" conv=notrunc 2>/dev/null
if osslsigncode verify -CAfile "$keys/signer.pem" -TSA-CAfile "$keys/tsa.pem" -in "$tampered" >/dev/null 2>&1; then
  fail "a DLL changed by one byte after signing still verifies"
else
  pass "a DLL changed by one byte after signing fails the check"
fi

# The signed DLLs work: each bitness's cscript creates a poster from its signed DLL.
printf '%s\r\n' 'Set poster = CreateObject("Sirel.Sireler")' 'poster.DoSirel "signed", 1' \
  'WScript.Echo "SIREL-SIGNED count=" & poster.Count' >"$work/signed.vbs"
declare -A loader=([x64]="$WINE64" [x86]="$WINE32")
for arch in x64 x86; do
  if [ "$arch" = x86 ] && ! reason=$(bash "$root/scripts/probe-x86.sh" --skipping "release-signing (x86 DLL under Wine)"); then
    echo "release-signing: the signed x86 DLL under Wine SKIPPED: $reason"
    continue
  fi
  dll=$(windows_path "$work/build/stage/$arch/Sirel.dll")
  timeout -k 10 60 "${loader[$arch]}" regsvr32 /s "$dll" || fail "$arch: regsvr32 of the signed DLL"
  output=$(timeout -k 10 60 "${loader[$arch]}" cscript //nologo "$(windows_path "$work/signed.vbs")" 2>&1 | tr -d '\r')
  grep -qx 'SIREL-SIGNED count=1' <<<"$output" && pass "$arch: the signed DLL registers and posts" \
    || fail "$arch: the signed DLL did not create a poster: $output"
  timeout -k 10 60 "${loader[$arch]}" regsvr32 /s /u "$dll" || fail "$arch: regsvr32 /u of the signed DLL"
done

finish release-signing
