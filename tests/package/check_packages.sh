#!/usr/bin/env bash
# Checks the release packages as a user gets them:
#
#   check_packages.sh --deb arvoline_V_amd64.deb --zip Arvoline-V-win32.zip
#                     --debug-zip Arvoline-V-win32-debug.zip
#                     --tested-dll-sha256 DIGEST --writer build/make-access-db
#                     --fake-dao build-win32/tests/win32/fake_dao.dll
#
# The .deb is unpacked into a throwaway root (dpkg -x) and its programs run
# from there; lintian and hardening-check read it. The zip must hold the very
# DLL whose digest was taken when the Windows suite had tested it, and the
# host examples of its notes are built against its header; the GCC one runs
# under the Windows suite's wine against the test DAO server (skipped only
# with ARVOLINE_SKIP_WIN32=1). The release version V is the .deb's; every
# other place that carries it must agree.
# Prints one line per check and "N passed, N failed, N skipped" last; exit
# status 1 if any check failed.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)
deb="" zip="" debug_zip="" tested_sha256="" writer="" fake_dao=""
while [ $# -gt 0 ]; do
  case "$1" in
    --deb) deb=$2; shift 2 ;;
    --zip) zip=$2; shift 2 ;;
    --debug-zip) debug_zip=$2; shift 2 ;;
    --tested-dll-sha256) tested_sha256=$2; shift 2 ;;
    --writer) writer=$2; shift 2 ;;
    --fake-dao) fake_dao=$2; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
for f in "$deb" "$zip" "$debug_zip" "$writer" "$fake_dao"; do
  [ -f "$f" ] || { echo "missing file: '$f'" >&2; exit 2; }
done
[ -n "$tested_sha256" ] || { echo "--tested-dll-sha256 is required" >&2; exit 2; }
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
writer=$(absolute "$writer")
fake_dao=$(absolute "$fake_dao")

. "$source_root/tests/win32/wine_session.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
skipped=0

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

# skip NAME REASON
skip() {
  echo "skip  $1 ($2)"
  skipped=$((skipped + 1))
}

# expect_equal ACTUAL EXPECTED
expect_equal() {
  [ "$1" = "$2" ] || { printf 'got:      %s\nexpected: %s\n' "$1" "$2"; return 1; }
}

version=$(dpkg-deb -f "$deb" Version)
root=$work/root
dpkg -x "$deb" "$root"
host=$root/usr/bin/arvoline-host

# --- the licence -----------------------------------------------------------

source_license() {
  local license=$source_root/LICENSE
  expect_equal "$(sed -n 1p "$license")" "MIT License" &&
    grep -Eqx 'Copyright \(c\) [0-9]{4}(-[0-9]{4})? The Arvoline contributors' "$license" &&
    grep -q '^Permission is hereby granted, free of charge' "$license"
}
check "LICENSE is the MIT licence of the Arvoline contributors" source_license

# --- the .deb -------------------------------------------------------------

deb_control() {
  expect_equal "$(basename "$deb")" "arvoline_${version}_amd64.deb" &&
    expect_equal "$(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Architecture)" "arvoline amd64"
}
check "the .deb is arvoline_${version}_amd64.deb" deb_control

# dpkg-shlibdeps names what the binaries link: ICU, libwmf (the host's WMF
# pictures) and the C++ runtime. The plug-in reads Access files with its own
# code, so libmdb is not among them.
deb_depends() {
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for library in 'libicu[0-9]' 'libwmf-0\.2-7' 'libstdc\+\+6' libc6; do
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

# The copyright file in Debian's machine-readable format: the project's
# files under the licence of LICENSE, word for word, and the test files
# committed from elsewhere under theirs.
deb_copyright() {
  /usr/bin/python3 "$here/check_copyright.py" "$root/usr/share/doc/arvoline/copyright" "$source_root/LICENSE"
}
check "its copyright file gives LICENSE for the project and Apache-2.0 for the test files" deb_copyright

# --pedantic shows the tags of every level but the informational ones, on
# standard output, which stays empty when none applies. (Standard error
# carries lintian's own notes, such as running as root.)
deb_lintian() {
  local out
  out=$(lintian --pedantic "$deb" 2>"$work/lintian.err") || { echo "$out"; cat "$work/lintian.err"; return 1; }
  [ -z "$out" ] || { echo "$out"; return 1; }
}
check "lintian --pedantic finds nothing in it" deb_lintian

# Debian 12's hardening: stack protector, fortified glibc calls, PIE, RELRO
# and immediate binding. (-fcf-protection is not among Debian 12's build
# flags, so its check is left out.)
check "its binaries are hardened (hardening-check)" hardening-check --nocfprotection \
  "$root/usr/bin/arvoline-host" "$root/usr/lib/arvoline/Arvoline.so"

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

# --- the zips -------------------------------------------------------------

top=Arvoline-$version-win32
check "the zip is $top.zip" expect_equal "$(basename "$zip")" "$top.zip"
check "the debug zip is $top-debug.zip" expect_equal "$(basename "$debug_zip")" "$top-debug.zip"
unzip_to() { /usr/bin/python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$1" "$2"; }
unzip_to "$zip" "$work/zip"
unzip_to "$debug_zip" "$work/debug"
check "it holds Arvoline.dll, arvoline_plugin.h, HOST-INTEGRATION.txt and LICENSE.txt" expect_equal \
  "$(cd "$work/zip" && find . -type f | sort | tr '\n' ' ')" \
  "./$top/Arvoline.dll ./$top/HOST-INTEGRATION.txt ./$top/LICENSE.txt ./$top/arvoline_plugin.h "
check "its LICENSE.txt is LICENSE" cmp "$work/zip/$top/LICENSE.txt" "$source_root/LICENSE"
dir=$work/zip/$top
dll=$dir/Arvoline.dll
check "its DLL is the one the Windows suite tested" \
  expect_equal "$(sha256sum <"$dll" | cut -d' ' -f1)" "$tested_sha256"
check "the DLL's version resource carries $version" \
  expect_equal "$(/usr/bin/python3 "$here/dll_version.py" "$dll")" \
  "$(printf 'FileVersion=%s\nProductVersion=%s\nfixed=%s.0\ndescribed' "$version" "$version" "$version")"

# Unpacked over the DLL's folder, the debug zip puts the debug file beside
# the DLL, where its debug link (name and CRC-32) finds it.
check "the debug zip holds Arvoline.dll.debug and LICENSE.txt" expect_equal \
  "$(cd "$work/debug" && find . -type f | sort | tr '\n' ' ')" \
  "./$top/Arvoline.dll.debug ./$top/LICENSE.txt "
debug_link() {
  local crc
  crc=$(/usr/bin/python3 -c 'import sys, zlib; print("%08x" % zlib.crc32(open(sys.argv[1], "rb").read()))' \
    "$work/debug/$top/Arvoline.dll.debug")
  expect_equal "$(/usr/bin/python3 "$here/debug_link.py" "$dll")" "Arvoline.dll.debug $crc"
}
check "the DLL's debug link names the debug file and its CRC-32" debug_link

# The examples of HOST-INTEGRATION.txt, each between its marker lines, build
# against the shipped header with mingw-w64's GCC.
extract_example() {  # NAME
  sed -n "/^----- $1 -----\$/,/^----- end of $1 -----\$/p" "$dir/HOST-INTEGRATION.txt" | sed '1d;$d' >"$dir/$1"
  [ -s "$dir/$1" ] || { echo "no $1 in HOST-INTEGRATION.txt"; return 1; }
}
# GCC has no __try/__except: those two become plain C for the check.
msvc_example() {
  extract_example example.c &&
    i686-w64-mingw32-gcc-posix -std=c99 -Wall -Wextra -Werror '-D__try=if (1)' '-D__except(filter)=else if (filter)' \
      '-DGetExceptionInformation()=((EXCEPTION_POINTERS *)0)' -o "$dir/example.exe" "$dir/example.c" -lole32
}
check "the example for Microsoft's compiler builds against the header" msvc_example
gcc_example() {
  extract_example example-gcc.c &&
    i686-w64-mingw32-gcc-posix -std=c99 -Wall -Wextra -Werror -O2 -o "$dir/example-gcc.exe" "$dir/example-gcc.c" -lole32
}
check "the example for GCC builds against the header" gcc_example

# The GCC example beside the zip's DLL, under the Windows suite's wine with
# the test DAO server registered: whole imports, the plug-in's errors caught
# by its vectored handler, and files DAO cannot open.
gcc_example_runs() {
  [ -f "$dir/example-gcc.exe" ] || { echo "the GCC example was not built"; return 1; }
  # check runs this in a subshell: the session ends with it. The locale
  # fixes the ANSI code page (1252) whatever the caller's.
  trap wine_session_stop EXIT
  export LC_ALL=C.UTF-8 LANG=C.UTF-8
  # A boot under emulation now and then fails while other sessions boot on
  # the same machine; a second fresh prefix then boots.
  if ! wine_session_start >"$work/wine.log" 2>&1; then
    wine_session_stop
    wine_session_start >>"$work/wine.log" 2>&1 || { cat "$work/wine.log"; return 1; }
  fi
  wine_register_server DAO.DBEngine.36 '{6B3F1C52-8A0E-4E5B-9C71-2D40A9E1F036}' "$fake_dao" ||
    { echo "cannot register the test DAO server"; return 1; }
  local fixtures=$source_root/tests/win32/fixtures database status
  for database in "$fixtures/arvoline.xtp" "$fixtures/gleanery.xrd" "$fixtures/missing_root.xtp" \
    "$fixtures/no_such_file.xtp" "$dir/LICENSE.txt"; do
    wine_run "$dir/example-gcc.exe" "$(wine_path "$database")" >"$work/out" 2>"$work/err"
    status=$?
    echo "example-gcc $(basename "$database"): exit status $status"
    cat "$work/out"
    # Processes that wine starts for the program (the desktop's explorer)
    # share its standard error and outlive it; under emulation they are
    # sometimes killed by qemu, which says so there. The program's own
    # crash would show in its exit status and output.
    grep -v '^qemu: uncaught target signal' "$work/err" | sed 's/^/stderr: /'
  done | tr -d '\r' >"$work/gcc_example.txt"
  diff -u "$here/expected/gcc_example.txt" "$work/gcc_example.txt"
}
if [ "${ARVOLINE_SKIP_WIN32:-}" = 1 ]; then
  skip "the GCC example imports under wine" "ARVOLINE_SKIP_WIN32=1"
else
  check "the GCC example imports under wine" gcc_example_runs
fi

echo "packages: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
