#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks and the demo need.
# Idempotent: installs only what is missing and runs `apt-get update` at most once.
set -euo pipefail

packages=(
  cmake g++ make ninja-build
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools
  libwine-dev wine wine64
  fonts-wine fonts-liberation
  libxrender1 libxrandr2 libxcursor1 libxi6 libxinerama1 libxcomposite1 libxfixes3
  xvfb xauth x11-utils xdotool xclip imagemagick tesseract-ocr tesseract-ocr-eng
  python3 zip unzip msitools wixl faketime osslsigncode openssl
  wine32:i386
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# The 32-bit Wine (wine32:i386) runs the x86 DLL's registration for the release.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The PowerShell grammar that checks the PowerShell sample (tests/samples/parse_powershell.cjs),
# from npm, into build/node; pinned, installed once. (--ignore-scripts: the WebAssembly grammar
# needs no native build.)
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v npm >/dev/null || ! command -v node >/dev/null; then
  # Debian's Node.js, unless a Node.js with its npm is there already.
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends nodejs npm
fi
node_packages=(tree-sitter-powershell@0.26.4 web-tree-sitter@0.25.10)
node_stamp="$root/build/node/.installed-$(echo "${node_packages[*]}" | tr ' @/' '_-_')"
if [ ! -f "$node_stamp" ]; then
  mkdir -p "$root/build/node"
  npm install --prefix "$root/build/node" --no-save --ignore-scripts --no-audit --no-fund \
    "${node_packages[@]}"
  touch "$node_stamp"
fi
