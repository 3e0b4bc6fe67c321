#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the demo and the benchmarks need.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
  build-essential cmake pkg-config make
  libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev
  mdbtools mdbtools-dev libglib2.0-dev
  nlohmann-json3-dev libcli11-dev
  binutils time python3
  # The 32-bit Windows DLL: mingw-w64 cross compiler (posix threads) and wine to test it.
  g++-mingw-w64-i686-posix wine wine32:i386 locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# wine32 comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
