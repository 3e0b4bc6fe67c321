#!/usr/bin/env bash
# Checks the module's PE tables with objdump: a 32-bit image (pei-i386) that
# exports exactly GetPluginInfo, BeginImportSession, ImportDocument and
# EndImportSession, imports from system DLLs only, and whose exported code
# returns with `ret N` removing exactly the argument bytes of the stdcall
# contract (4, 12, 8, 0): a calling-convention slip fails here even where
# nothing can execute the DLL. The module is the stripped one that ships: it
# must carry no symbol table and no debugging sections, and the function
# symbols that bound each export's code are read from its debug file.
#   check_module_tables.sh <objdump> <Arvoline.dll> <Arvoline.dll.debug>
set -euo pipefail
objdump=$1
module=$2
symbols=$3

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

sections=$("$objdump" -h "$module")
if grep -q '\.debug_' <<<"$sections"; then fail "the module carries debugging sections"; fi
if ! grep -q '^no symbols' <<<"$("$objdump" -t "$module")"; then fail "the module carries a symbol table"; fi

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

# Each export's code, from its address to the next function symbol of the
# debug file: every `ret` in it must remove the contract's argument bytes.
declare -A argument_bytes=([GetPluginInfo]=4 [BeginImportSession]=12 [ImportDocument]=8 [EndImportSession]=0)
image_base=$((16#$(printf '%s\n' "$tables" | sed -n 's/^ImageBase[[:space:]]*//p')))
# Export address table rows "[ i] +base[ n] RVA Export RVA"; the name table
# rows "[ i] Name" carry the same index i (the export's ordinal less the base).
mapfile -t rvas < <(printf '%s\n' "$tables" | sed -n '/^Export Address Table -- Ordinal Base/,/^$/p' |
  sed -n 's/.*+base\[[[:space:]]*[0-9]*\][[:space:]]*\([0-9a-f]*\) Export RVA/\1/p')
mapfile -t names < <(printf '%s\n' "$tables" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\][[:space:]]*\(.*\)$/\1 \2/p')
mapfile -t function_starts < <("$objdump" -t "$symbols" | sed -n 's/.*(ty[[:space:]]*20).* 0x\([0-9a-f]*\) .*/\1/p' |
  while read -r a; do printf '%d\n' $((16#$a)); done | sort -n -u)
[ ${#function_starts[@]} -gt 0 ] || fail "no function symbols in $symbols"
section_base=$((16#$(awk '$2 == ".text" { print $4 }' <<<"$sections")))
for row in "${names[@]}"; do
  index=${row%% *}
  name=${row#* }
  expected_bytes=${argument_bytes[$name]:-}
  [ -n "$expected_bytes" ] || continue
  rva=${rvas[$index]:-}
  if [ -z "$rva" ]; then fail "no address for export $name"; continue; fi
  start=$((image_base + 16#$rva))
  # Symbol values are offsets into .text; the next one after this function.
  end=0
  for f in "${function_starts[@]}"; do
    if [ $((section_base + f)) -gt $start ]; then end=$((section_base + f)); break; fi
  done
  if [ $end -eq 0 ]; then fail "export $name: no function symbol after its code"; continue; fi
  rets=$("$objdump" -d --start-address=$start --stop-address=$end "$module" |
    sed -n 's/.*[[:space:]]ret[[:space:]]*\$\(0x[0-9a-f]*\).*/\1/p; s/.*[[:space:]]ret[[:space:]]*$/0/p')
  if [ -z "$rets" ]; then fail "export $name: no ret found in its code"; continue; fi
  for r in $rets; do
    if [ $((r)) -ne "$expected_bytes" ]; then
      fail "export $name returns with ret $((r)), which removes $((r)) argument bytes, not $expected_bytes"
    fi
  done
  echo "$name: ret $expected_bytes ($(echo $rets | wc -w) ret instructions)"
done

echo "exports: $(echo $exports)"
echo "imports: $(echo $imports)"
if [ $failures -eq 0 ]; then
  echo "1 passed, 0 failed"
else
  echo "0 passed, 1 failed"
  exit 1
fi
