// The runtime's standard text-to-integer conversion.
//
// Accepted form: any number of leading spaces (U+0020 only), at most one "+"
// or "-", then either decimal digits or one of the prefixes "$", "x", "X",
// "0x", "0X" followed by hexadecimal digits of either case. Leading zeros
// are fine. Everything else fails: an empty text, a sign or prefix without
// digits, a trailing space or any other character.
//
// Range: a decimal value must lie in -2147483648..2147483647. A hexadecimal
// value may use all 32 bits (up to $FFFFFFFF) and is read as the two's
// complement of those bits, so "$FFFFFFFF" is -1; a sign then negates it.
// Anything wider fails.
#pragma once

#include <cstdint>

#include "runtime/unicode_string.h"

// Converts `text`; raises EConvertError "''<text>'' is not a valid integer
// value" when it does not convert.
int32_t StrToInt(UnicodeStringView text);

// Converts `text` into `value`; answers false (value untouched) when it
// does not convert.
bool TryStrToInt(UnicodeStringView text, int32_t& value);
