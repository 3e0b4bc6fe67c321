#!/usr/bin/env bash
# Checks the module's PE tables with objdump: a 32-bit image (pei-i386) that
# exports exactly GetPluginInfo, BeginImportSession, ImportDocument and
# EndImportSession, and imports from system DLLs only.
#   check_module_tables.sh <objdump> <Arvoline.dll>
set -euo pipefail
objdump=$1
module=$2

tables=$("$objdump" -p "$module")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

format=$("$objdump" -f "$module" | sed -n 's/.*file format //p')
[ "$format" = "pei-i386" ] || fail "file format is '$format', not pei-i386"

# Export names: the lines of the name table ("[ n] Name") after its heading.
exports=$(printf '%s\n' "$tables" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
expected=$(printf '%s\n' BeginImportSession EndImportSession GetPluginInfo ImportDocument)
[ "$exports" = "$expected" ] || fail "exports are [$(echo $exports)], expected [$(echo $expected)]"

allowed="KERNEL32.dll msvcrt.dll ole32.dll OLEAUT32.dll USER32.dll ADVAPI32.dll"
imports=$(printf '%s\n' "$tables" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -u)
[ -n "$imports" ] || fail "no import table found"
for dll in $imports; do
  ok=0
  for a in $allowed; do
    if [ "${dll,,}" = "${a,,}" ]; then ok=1; fi
  done
  [ $ok = 1 ] || fail "imports from $dll, which a host machine does not have"
done

echo "exports: $(echo $exports)"
echo "imports: $(echo $imports)"
if [ $failures -eq 0 ]; then
  echo "1 passed, 0 failed"
else
  echo "0 passed, 1 failed"
  exit 1
fi
