#!/usr/bin/env bash
# Prints the path of an i386 Debian root holding 32-bit wine, making it first
# when it is not cached yet. The Windows tests run that wine under qemu
# user-mode emulation on machines whose kernel cannot run 32-bit programs.
#
#   i386_root.sh            # prints ROOT (progress on standard error)
#
# The root comes from the main suite of the host's own Debian release only,
# so every package version is consistent (the security and updates indexes
# are never read), from the first Debian mirror in the machine's own apt
# sources. It is cached under ${ARVOLINE_CACHE:-$HOME/.cache/arvoline}, keyed
# by its package list and the fixes applied below: a second run finds it.
# Making it needs root (mmdebstrap --mode=root) and about 140 MB of download.
set -euo pipefail

PACKAGES="wine32,wine32-preloader,libwine"
# Bump when the fixes below change, so that cached roots are made anew.
FIXES_VERSION=1

. /etc/os-release
suite=${VERSION_CODENAME:?no VERSION_CODENAME in /etc/os-release}
cache=${ARVOLINE_CACHE:-$HOME/.cache/arvoline}
key=$(printf '%s|%s|%s' "$suite" "$PACKAGES" "$FIXES_VERSION" | sha256sum | cut -c1-16)
root="$cache/i386-root-$key"

if [ -f "$root/.complete" ]; then
  echo "$root"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "error: making the i386 wine root for the Windows tests needs root (mmdebstrap --mode=root);" \
    "run as root once, or set ARVOLINE_SKIP_WIN32=1 to skip the Windows tests" >&2
  exit 1
fi
for tool in mmdebstrap ldconfig; do
  command -v $tool >/dev/null || { echo "error: $tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done

# The first mirror in the machine's apt sources that serves this release's
# main suite (deb822 .sources files and one-line sources.list alike).
find_mirror() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v suite="$suite" '
      function flush() {
        if (uris != "" && types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") && comps ~ /(^| )main( |$)/) {
          split(uris, u, " "); print u[1]; found = 1; exit
        }
        uris = ""; suites = ""; comps = ""; types = ""
      }
      /^[[:space:]]*#/ { next }
      /^[[:space:]]*$/ { flush(); next }
      /^Types:/ { sub(/^Types:[[:space:]]*/, ""); types = $0 }
      /^URIs:/ { sub(/^URIs:[[:space:]]*/, ""); uris = $0 }
      /^Suites:/ { sub(/^Suites:[[:space:]]*/, ""); suites = $0 }
      /^Components:/ { sub(/^Components:[[:space:]]*/, ""); comps = $0 }
      END { if (!found) flush() }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v suite="$suite" '
      $1 == "deb" {
        i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
        if ($(i + 1) == suite) { for (j = i + 2; j <= NF; j++) if ($j == "main") { print $i; exit } }
      }' "$f"
  done
}
mirror=$(find_mirror | head -n 1)
if [ -z "$mirror" ]; then
  echo "error: no apt source for '$suite main' found in /etc/apt to make the i386 wine root from" >&2
  exit 1
fi

mkdir -p "$cache"
work=$(mktemp -d "$cache/.i386-root.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "making the i386 wine root for the Windows tests (once; cached in $root)" >&2
mmdebstrap --quiet --mode=root --variant=extract --architectures=i386 \
  --hook-dir=/usr/share/mmdebstrap/hooks/merged-usr \
  --include="$PACKAGES" "$suite" "$work/root" "deb $mirror $suite main" >&2

r="$work/root"
# The extract variant runs no maintainer scripts: install zlib1.dll as a wine
# builtin as libwine's postinst does, or user32 fails to load.
# (the "Wine builtin DLL" mark at offset 64 of the DOS header).
mark_builtin() {
  head -c 64 "$1"
  printf 'Wine builtin DLL\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'
  tail -c +97 "$1"
}
mark_builtin "$r/usr/i686-w64-mingw32/lib/zlib1.dll" >"$r/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
# The root's own loader cache, or the emulated loader reads the host's and
# picks host (64-bit) libraries.
printf 'include /etc/ld.so.conf.d/*.conf\n' >"$r/etc/ld.so.conf"
ldconfig -r "$r"
# Debian's wineserver wrappers look for the wineservers by host paths: run
# the root's own 32-bit one instead (absolute path, so it works from outside
# the root, where the wrapper's shell runs).
for wrapper in "$r/usr/bin/wineserver" "$r/usr/lib/wine/wineserver"; do
  printf '#!/bin/sh\nexec "%s/usr/lib/wine/wineserver32" "$@"\n' "$root" >"$wrapper"
  chmod 755 "$wrapper"
done
touch "$r/.complete"
mv "$r" "$root"
echo "$root"
