#!/usr/bin/env bash
# Checks the release packages as a user gets them:
#
#   check_packages.sh --deb arvoline_V_amd64.deb --zip Arvoline-V-win32.zip
#                     --tested-dll-sha256 DIGEST --writer build/make-access-db
#
# The .deb is unpacked into a throwaway root (dpkg -x) and its programs run
# from there; lintian reads it. The zip must hold the very DLL whose digest
# was taken when the Windows suite had tested it. The release version V is
# the .deb's; every other place that carries it must agree.
# Prints one line per check and "N passed, N failed" last; exit status 1 if
# any check failed.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
deb="" zip="" tested_sha256="" writer=""
while [ $# -gt 0 ]; do
  case "$1" in
    --deb) deb=$2; shift 2 ;;
    --zip) zip=$2; shift 2 ;;
    --tested-dll-sha256) tested_sha256=$2; shift 2 ;;
    --writer) writer=$2; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
for f in "$deb" "$zip" "$writer"; do
  [ -f "$f" ] || { echo "missing file: '$f'" >&2; exit 2; }
done
[ -n "$tested_sha256" ] || { echo "--tested-dll-sha256 is required" >&2; exit 2; }
writer=$(cd "$(dirname "$writer")" && pwd)/$(basename "$writer")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# check NAME COMMAND...: runs the command, its output shown only on failure.
check() {
  local name=$1
  shift
  if output=$("$@" 2>&1); then
    echo "ok    $name"
    passed=$((passed + 1))
  else
    echo "FAIL  $name"
    printf '%s\n' "$output" | sed 's/^/      /'
    failed=$((failed + 1))
  fi
}

# expect_equal ACTUAL EXPECTED
expect_equal() {
  [ "$1" = "$2" ] || { printf 'got:      %s\nexpected: %s\n' "$1" "$2"; return 1; }
}

version=$(dpkg-deb -f "$deb" Version)
root=$work/root
dpkg -x "$deb" "$root"
host=$root/usr/bin/arvoline-host

# --- the .deb -------------------------------------------------------------

deb_control() {
  expect_equal "$(basename "$deb")" "arvoline_${version}_amd64.deb" &&
    expect_equal "$(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Architecture)" "arvoline amd64"
}
check "the .deb is arvoline_${version}_amd64.deb" deb_control

# dpkg-shlibdeps names what the binaries link: ICU and the C++ runtime. The
# plug-in reads Access files with its own code, so libmdb is not among them.
deb_depends() {
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for library in 'libicu[0-9]' 'libstdc\+\+6' libc6; do
    grep -Eq "(^|, )$library" <<<"$depends" || { echo "Depends lacks $library: $depends"; return 1; }
  done
  ! grep -Eq "(^|, )libmdb" <<<"$depends" || { echo "Depends names libmdb: $depends"; return 1; }
}
check "its dependencies come from dpkg-shlibdeps" deb_depends

deb_files() {
  local missing=0
  for f in usr/bin/arvoline-host usr/lib/arvoline/Arvoline.so usr/include/arvoline/arvoline_plugin.h \
    usr/share/man/man1/arvoline-host.1.gz usr/share/doc/arvoline/README.md usr/share/doc/arvoline/copyright \
    usr/share/doc/arvoline/changelog.gz; do
    [ -f "$root/$f" ] || { echo "missing: /$f"; missing=1; }
  done
  return $missing
}
check "it installs the plug-in, the host, the header, the man page and the docs" deb_files

check "lintian finds no error in it" lintian --fail-on error "$deb"

check "the installed host reports the release version" \
  expect_equal "$("$host" --version 2>&1)" "arvoline-host $version"

# From another directory, without --plugin: the host must find the plug-in
# of its own tree, not one of the build or of the system.
installed_info() {
  local out
  out=$(cd "$work" && "$host" info) || return 1
  grep -qxF "module:      $root/usr/lib/arvoline/Arvoline.so" <<<"$out" || { echo "$out"; return 1; }
  # The information record keeps its own version text.
  grep -qxF "version:     1.50" <<<"$out" || { echo "$out"; return 1; }
}
check "the installed host finds the installed plug-in (info)" installed_info

# A database made by the project's writer, imported by the installed pair.
cat >"$work/outline.json" <<'EOF'
[
  {"key": "K1", "title": "Überblick", "content": "{\\rtf1 first}"},
  {"parent": "K1", "key": "K2", "title": "Child", "content": "second"},
  {"parent": "K2", "key": "K3", "title": "Grandchild"},
  {"key": "K4", "title": "Last", "content": "fourth \"quoted\""}
]
EOF
cat >"$work/expected.json" <<'EOF'
[
  {"level": 0, "title": "Überblick", "content": "{\\rtf1 first}"},
  {"level": 1, "title": "Child", "content": "second"},
  {"level": 2, "title": "Grandchild", "content": ""},
  {"level": 0, "title": "Last", "content": "fourth \"quoted\""}
]
EOF
installed_import() {
  local variant=$1 extension=$2 database=$work/sample.$2
  "$writer" outline "$database" --variant "$variant" --format jet4 --codepage 1252 --from "$work/outline.json" ||
    return 1
  (cd "$work" && LC_ALL=C "$host" import "$database" --json "$work/imported.json") || return 1
  python3 -c 'import json, sys; a, b = (json.load(open(p, encoding="utf-8")) for p in sys.argv[1:]); sys.exit(a != b and print("got", a))' \
    "$work/imported.json" "$work/expected.json"
}
check "the installed host imports an Arvoline database" installed_import arvoline xtp
check "the installed host imports a Gleanery database" installed_import gleanery xrd

# The man page: renders cleanly, and has every subcommand of the installed
# host's help with at least one example invoking it.
man_page() {
  local page=$root/usr/share/man/man1/arvoline-host.1.gz text warnings subcommands name section
  warnings=$(MANWIDTH=100 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$warnings"; return 1; }
  text=$(MANWIDTH=100 man -l "$page" 2>/dev/null | col -bx)
  grep -q "arvoline-host $version" <<<"$text" || { echo "no version $version"; return 1; }
  subcommands=$("$host" --help | awk '/^Subcommands:/ {on = 1; next} on && /^  [^ ]/ {print $1; next} on {exit}')
  [ -n "$subcommands" ] || { echo "the help lists no subcommand"; return 1; }
  for name in $subcommands; do
    # The subsection of the subcommand, up to the next heading.
    section=$(awk -v name="$name" '$0 == "   " name {on = 1; next} on && /^( |  |   )?[^ ]/ {exit} on' <<<"$text")
    [ -n "$section" ] || { echo "no section for '$name'"; return 1; }
    grep -Eq "^ +arvoline-host( [^ ]+)* $name( |$)" <<<"$section" || { echo "no example for '$name'"; return 1; }
  done
}
check "the man page has every subcommand with an example" man_page

# --- the zip --------------------------------------------------------------

top=Arvoline-$version-win32
check "the zip is $top.zip" expect_equal "$(basename "$zip")" "$top.zip"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/zip"
check "it holds Arvoline.dll, arvoline_plugin.h and HOST-INTEGRATION.txt" expect_equal \
  "$(cd "$work/zip" && find . -type f | sort | tr '\n' ' ')" \
  "./$top/Arvoline.dll ./$top/HOST-INTEGRATION.txt ./$top/arvoline_plugin.h "
dll=$work/zip/$top/Arvoline.dll
check "its DLL is the one the Windows suite tested" \
  expect_equal "$(sha256sum <"$dll" | cut -d' ' -f1)" "$tested_sha256"
check "the DLL's version resource carries $version" \
  expect_equal "$(/usr/bin/python3 "$here/dll_version.py" "$dll")" \
  "$(printf 'FileVersion=%s\nProductVersion=%s\nfixed=%s.0\ndescribed' "$version" "$version" "$version")"

# The example of HOST-INTEGRATION.txt compiles against the shipped header.
# GCC has no __try/__except: those two become plain C for the check.
host_example() {
  local dir=$work/zip/$top
  sed -n '/^----- example.c -----$/,/^----- end of example.c -----$/p' "$dir/HOST-INTEGRATION.txt" |
    sed '1d;$d' >"$dir/example.c"
  [ -s "$dir/example.c" ] || { echo "no example in HOST-INTEGRATION.txt"; return 1; }
  i686-w64-mingw32-gcc-posix -std=c99 -Wall -Wextra -Werror '-D__try=if (1)' '-D__except(filter)=else if (filter)' \
    '-DGetExceptionInformation()=((EXCEPTION_POINTERS *)0)' -o "$dir/example.exe" "$dir/example.c" -lole32
}
check "the C example of HOST-INTEGRATION.txt builds against the header" host_example

echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
