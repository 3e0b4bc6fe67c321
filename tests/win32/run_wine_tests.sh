#!/usr/bin/env bash
# Runs the Windows tests under wine, in one throwaway 32-bit prefix:
#   - the platform test program, in an English, a German and a Japanese locale;
#   - the test host against the module: with no DAO server registered, with
#     only "DAO.DBEngine.35", then with both (the test-only server), and with
#     COM left uninitialised; each run's output, carriage returns removed,
#     must equal expected/<run>.txt;
#   - the DAO calls of two sessions as the test server logged them.
#
#   run_wine_tests.sh --module Arvoline.dll --host arvoline_test_host.exe
#                     --server fake_dao.dll --platform-test platform_win32_test.exe
#                     --data <folder of this script>
#
# wine is the host's 32-bit wine where it works, else Debian's i386 wine under
# qemu user-mode emulation (wine_session.sh). Exit status 0 when everything
# passed, 1 on a failure or when neither way can run here, 77 (skipped) only
# when the person asked for it with ARVOLINE_SKIP_WIN32=1.
set -uo pipefail

while [ $# -gt 0 ]; do
  case $1 in
    --module) MODULE=$2 ;;
    --host) HOST=$2 ;;
    --server) SERVER=$2 ;;
    --platform-test) PLATFORM_TEST=$2 ;;
    --data) DATA=$2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done

if [ "${ARVOLINE_SKIP_WIN32:-}" = 1 ]; then
  echo "SKIPPED: ARVOLINE_SKIP_WIN32=1 was set: the Windows tests did not run"
  exit 77
fi

. "$(dirname "$0")/wine_session.sh"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/arvoline-wine-out.XXXXXX")
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset LANGUAGE
cleanup() {
  wine_session_stop
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

start=$(date +%s)
if ! wine_session_start; then
  echo "the Windows tests cannot run here (set ARVOLINE_SKIP_WIN32=1 to skip them knowingly)"
  exit 1
fi
echo "wine ready after $(( $(date +%s) - start )) s"

FIXTURES=$(wine_path "$DATA/fixtures")

passed=0
failed=0
pass() { echo "ok     $1"; passed=$((passed + 1)); }
fail() {
  echo "FAILED $1"
  failed=$((failed + 1))
}

# compare NAME FILE: FILE must equal expected/NAME.txt.
compare() {
  if diff -u "$DATA/expected/$1.txt" "$2" >"$WORK/$1.diff"; then
    pass "$1"
  else
    fail "$1"
    cat "$WORK/$1.diff"
    if [ -s "$WORK/$1.err" ]; then
      echo "--- standard error:"
      tail -20 "$WORK/$1.err"
    fi
  fi
}

# host NAME ARGS...: runs the test host on the module; fixture names in
# ARGS are given as bare file names.
host() {
  local name=$1
  shift
  local args=()
  for a in "$@"; do
    case $a in
      *.xtp | *.xrd) args+=("$FIXTURES\\$a") ;;
      *) args+=("$a") ;;
    esac
  done
  wine_run "$HOST" "$(wine_path "$MODULE")" "${args[@]}" 2>"$WORK/$name.err" | tr -d '\r' >"$WORK/$name.out"
  compare "$name" "$WORK/$name.out"
}

# platform GROUP LOCALE: the platform test program's group in a locale.
platform() {
  local name="platform $1"
  # env, so that this shell does not try the locale itself (it is compiled
  # into the work folder for wine only).
  if env LOCPATH="$WORK/locales" LC_ALL=$2 LANG=$2 "$WINE_LOADER" "$PLATFORM_TEST" "$FIXTURES" "$1" \
    2>"$WORK/platform.err" | tr -d '\r' >"$WORK/platform.out"; then
    pass "$name ($(tail -1 "$WORK/platform.out"))"
  else
    fail "$name"
    cat "$WORK/platform.out"
    tail -20 "$WORK/platform.err"
  fi
}

# The German and Japanese locales for the regional settings, compiled into
# the work folder (wine reads the process locale).
mkdir -p "$WORK/locales"
localedef -i de_DE -f UTF-8 "$WORK/locales/de_DE.UTF-8" >/dev/null 2>&1
localedef -i ja_JP -f UTF-8 "$WORK/locales/ja_JP.UTF-8" >/dev/null 2>&1

# No DAO server at all: the source reads nothing, the dataset stays closed.
host no_server session arvoline.xtp

# Only the older engine: the source falls back to it.
wine_register_server DAO.DBEngine.35 '{6B3F1C52-8A0E-4E5B-9C71-2D40A9E1F035}' "$SERVER" || fail "registering DAO.DBEngine.35"
host engine35 session arvoline.xtp

wine_register_server DAO.DBEngine.36 '{6B3F1C52-8A0E-4E5B-9C71-2D40A9E1F036}' "$SERVER" || fail "registering DAO.DBEngine.36"
platform all C.UTF-8
platform locale-de de_DE.UTF-8
platform locale-ja ja_JP.UTF-8
host info info
host abi abi arvoline.xtp
host sessions import end session arvoline.xtp session gleanery.xrd session engine36_only.xtp end
host errors session missing_root.xtp session no_such_file.xtp session bad_outline.xtp session empty_outline.xtp \
  session gleanery.xrd
host no_com --no-com session arvoline.xtp

# What the source sent to DAO, as the server logged it (the calls that carry
# arguments, open, position or close; the per-value field reads left out).
LOG="$WORK/dao.log"
FAKE_DAO_LOG=$(wine_path "$LOG") wine_run "$HOST" "$(wine_path "$MODULE")" session "$FIXTURES\\arvoline.xtp" \
  session "$FIXTURES\\gleanery.xrd" >/dev/null 2>"$WORK/dao_calls.err"
grep -E '\.(OpenDatabase|OpenRecordset|Item|MoveFirst|Close)\(|error' "$LOG" 2>/dev/null | tr -d '\r' |
  sed "s|$(printf '%s' "$FIXTURES" | sed 's/[\\.|]/\\&/g')|<fixtures>|g" >"$WORK/dao_calls.out"
compare dao_calls "$WORK/dao_calls.out"

echo "wine time: $(( $(date +%s) - start )) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
