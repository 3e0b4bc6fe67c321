# Sourced by run_wine_tests.sh: one 32-bit wine session for the Windows tests,
# natively or under emulation.
#
#   wine_session_start   picks the way, makes a throwaway prefix, keeps one
#                        wineserver up and boots the prefix
#   wine_run PROGRAM...  runs a Windows program (or a wine builtin: reg, cmd)
#   wine_path FILE       the Windows path of a file, through drive Z:
#   wine_register_server PROGID CLSID DLL
#                        registers an in-process COM server under HKCR
#   wine_session_stop    stops the wineserver, removes the prefix and undoes
#                        the binfmt registration (also on failure: trap it)
#
# The way:
#   native    the host's own 32-bit wine (wine32), where it is installed and
#             the kernel runs 32-bit programs;
#   emulated  otherwise: Debian's i386 wine from a private root
#             (emulation/i386_root.sh, cached) run by qemu user-mode
#             emulation through a binfmt_misc registration of this run's own;
#             the wineserver is the host's 64-bit one when it is exactly the
#             same wine version (much faster), else the root's, emulated.
# ARVOLINE_WIN32_WAY=native|emulated forces one. Neither way possible is an
# error that says what is missing.

WINE_SESSION_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WINE_WAY=""
WINE_LOADER=""
WINE_BINFMT=""

wine_native_works() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Registers qemu for i386 ELF programs under a name of this run's own (newest
# registration wins, and removing it leaves any other one as it was).
wine_register_binfmt() {
  local qemu binfmt=/proc/sys/fs/binfmt_misc
  qemu=$(command -v qemu-i386-static || command -v qemu-i386 || true)
  if [ -z "$qemu" ]; then
    echo "error: qemu-i386-static is missing (run scripts/install-deps.sh)" >&2
    return 1
  fi
  if [ ! -w "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || true
  fi
  if [ ! -w "$binfmt/register" ]; then
    echo "error: cannot register qemu for 32-bit programs: $binfmt/register is not writable" \
      "(needs root and binfmt_misc)" >&2
    return 1
  fi
  # A run that was killed outright leaves its registration behind: drop those
  # of runs that are gone.
  local stale
  for stale in "$binfmt"/arvoline-i386-*; do
    [ -e "$stale" ] || continue
    kill -0 "${stale##*-}" 2>/dev/null || echo -1 >"$stale" 2>/dev/null || true
  done
  WINE_BINFMT="arvoline-i386-$$"
  # The magic and mask of i386 ELF executables and shared objects; flag F
  # opens the interpreter now, so it is found whatever the program's root.
  printf '%s' ":$WINE_BINFMT:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$qemu:F" \
    >"$binfmt/register" || { WINE_BINFMT=""; echo "error: binfmt registration refused" >&2; return 1; }
}

wine_session_start() {
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/arvoline-wine.XXXXXX")
  export WINEPREFIX WINEARCH=win32 WINEDEBUG=-all
  # No Gecko or Mono installers, no menu entries, and no debugger: an
  # unhandled exception ends the process instead of starting winedbg.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d"
  unset DISPLAY WAYLAND_DISPLAY

  WINE_WAY=${ARVOLINE_WIN32_WAY:-}
  if [ -z "$WINE_WAY" ]; then
    if wine_native_works; then WINE_WAY=native; else WINE_WAY=emulated; fi
  fi
  case $WINE_WAY in
    native)
      if ! wine_native_works; then
        echo "error: no working 32-bit wine on this machine (ARVOLINE_WIN32_WAY=native)" >&2
        return 1
      fi
      WINE_LOADER=/usr/lib/wine/wine
      WINESERVER=/usr/lib/wine/wineserver
      [ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)
      export WINESERVER
      ;;
    emulated)
      local root
      root=$(bash "$WINE_SESSION_DIR/emulation/i386_root.sh") || return 1
      wine_register_binfmt || return 1
      export QEMU_LD_PREFIX=$root
      WINE_LOADER=$root/usr/lib/wine/wine
      local version
      version=$("$WINE_LOADER" --version 2>/dev/null)
      if [ -x /usr/lib/wine/wineserver64 ] && [ -x /usr/lib/wine/wine64 ] &&
        [ "$(/usr/lib/wine/wine64 --version 2>/dev/null)" = "$version" ]; then
        export WINESERVER=/usr/lib/wine/wineserver64
      else
        export WINESERVER=$root/usr/lib/wine/wineserver32
      fi
      ;;
    *)
      echo "error: ARVOLINE_WIN32_WAY must be native or emulated, not '$WINE_WAY'" >&2
      return 1
      ;;
  esac
  echo "wine: $WINE_WAY ($("$WINE_LOADER" --version 2>/dev/null), wineserver $WINESERVER)"

  # One wineserver for the whole session: every program after the boot then
  # starts in well under a second instead of starting its own server.
  "$WINESERVER" -p || return 1
  if ! "$WINE_LOADER" wineboot -i >"$WINEPREFIX/.wineboot.log" 2>&1; then
    echo "wineboot failed:" >&2
    tail -20 "$WINEPREFIX/.wineboot.log" >&2
    return 1
  fi
}

wine_run() {
  "$WINE_LOADER" "$@"
}

wine_path() { printf 'Z:%s' "${1//\//\\}"; }

# Under HKEY_CLASSES_ROOT: wine ignores registrations under
# HKCU\Software\Classes.
wine_register_server() {
  wine_run reg add "HKCR\\$1\\CLSID" /ve /d "$2" /f >/dev/null 2>&1 &&
    wine_run reg add "HKCR\\CLSID\\$2\\InprocServer32" /ve /d "$(wine_path "$3")" /f >/dev/null 2>&1 &&
    wine_run reg add "HKCR\\CLSID\\$2\\InprocServer32" /v ThreadingModel /d Both /f >/dev/null 2>&1
}

wine_session_stop() {
  if [ -n "${WINESERVER:-}" ] && [ -n "${WINEPREFIX:-}" ]; then
    "$WINESERVER" -k >/dev/null 2>&1
    # -k returns once the server is told; wait for it to be gone before the
    # prefix goes.
    "$WINESERVER" -w >/dev/null 2>&1
  fi
  if [ -n "$WINE_BINFMT" ] && [ -e "/proc/sys/fs/binfmt_misc/$WINE_BINFMT" ]; then
    echo -1 >"/proc/sys/fs/binfmt_misc/$WINE_BINFMT" 2>/dev/null
    WINE_BINFMT=""
  fi
  if [ -n "${WINEPREFIX:-}" ]; then
    rm -rf "$WINEPREFIX"
  fi
}
