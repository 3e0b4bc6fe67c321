// Conversion of source texts from the character set named by the import
// component's CharacterSet.
//
//   csiANSI_WINDOWS  nothing to do.
//   csiASCII_MSDOS   the text is taken as bytes in the active ANSI code page
//                    and those bytes are read as characters of the paired
//                    OEM (DOS) code page: a DOS text that was read as if it
//                    were ANSI gets its own characters back. Empty stays
//                    empty.
//   csiEBCDIC        every character goes through a fixed 256-entry table
//                    from ASCII to EBCDIC (code page 037 codes): codes 0-31
//                    stay, printable ASCII becomes the EBCDIC code of the
//                    same character (blank 64, "A" 193, "0" 240), codes 127
//                    and above (including characters beyond 255) become 75,
//                    the EBCDIC full stop. Each result is one character whose
//                    code is the EBCDIC byte. This is the ASCII-to-EBCDIC
//                    direction only; reading EBCDIC sources would need the
//                    inverse table.
#pragma once

#include <cstdint>

#include "import_engine/smi_types.h"
#include "runtime/unicode_string.h"
#include "runtime/variant.h"

// `text` converted from `characterSet` as described above.
UnicodeString ConvertCharacterSet(UnicodeStringView text, TSMICharacterSet characterSet);

// Converts a text value in place; values of any other kind (Null, numbers,
// dates, Booleans, arrays) carry no code-page bytes and stay unchanged.
void ConvertCharacterSet(Variant& value, TSMICharacterSet characterSet);

// The EBCDIC code `csiEBCDIC` gives for the character code `code` (0-255).
uint8_t AsciiToEbcdic(uint8_t code);
