#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the demo and the benchmarks need.
# Idempotent: packages already present are not fetched again.
#
# Every package is the host's own architecture. The 32-bit Windows tests do not
# need the i386 architecture on the host: where the host has no working 32-bit
# wine they run Debian's i386 wine in a private root under qemu user-mode
# emulation (tests/win32/emulation/).
set -euo pipefail

packages=(
  build-essential cmake pkg-config make
  libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev zlib1g-dev
  mdbtools mdbtools-dev libglib2.0-dev
  nlohmann-json3-dev libcli11-dev
  # The host draws WMF pictures with libwmf, which needs the URW base fonts for text.
  libwmf-dev fonts-urw-base35
  binutils time python3 python3-html5lib
  # A CommonMark renderer: the Markdown export is checked as a reader sees it.
  cmark-gfm
  # Headless Chromium opens the HTML exports in the tests and the export benchmark.
  chromium
  clang libclang-rt-14-dev
  # The 32-bit Windows DLL: the mingw-w64 cross compiler (posix threads), and
  # what runs its tests where 32-bit programs cannot run natively.
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 qemu-user-static mmdebstrap locales
  # The package checks: dpkg-shlibdeps, lintian, the manual page, the DLL's
  # resources and debug link, and hardening-check (devscripts).
  dpkg-dev file lintian man-db python3-pefile devscripts
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

# A mirror in the middle of a sync can leave one index inconsistent for a
# while; apt-get update then exits 100 but keeps every index that did load.
# Try a few times, then go on with what loaded: the install below says
# plainly if a package the project needs is really missing.
updated=0
for attempt in 1 2 3; do
  if $SUDO apt-get update -qq; then
    updated=1
    break
  fi
  echo "apt-get update failed (attempt $attempt of 3)" >&2
  sleep $((attempt * 5))
done
if [ $updated = 0 ]; then
  echo "warning: some package indexes did not load; installing from those that did" >&2
fi

for attempt in 1 2 3; do
  if $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    exit 0
  fi
  echo "apt-get install failed (attempt $attempt of 3)" >&2
  sleep $((attempt * 5))
  $SUDO apt-get update -qq || true
done
echo "error: could not install: ${missing[*]}" >&2
exit 1
