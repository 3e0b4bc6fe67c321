// The import engine's test for numeric texts.
//
// Plain numeric syntax: an optional "+" or "-", one or more digits, an
// optional "." followed by any number of digits, and an optional exponent
// ("e" or "E", an optional sign, one or more digits). Nothing else, blanks
// included, may surround it.
#pragma once

#include "runtime/unicode_string.h"

// True when `text`, after its first `decimalSeparator` (when that is not ".")
// was replaced by ".", reads completely in the plain numeric syntax.
bool IsNumericText(UnicodeStringView text, char16_t decimalSeparator);
// The same with the process's regional decimal separator.
bool IsNumericText(UnicodeStringView text);

// Reads `text` as IsNumericText does; on success stores the nearest double
// and answers true. A text that is not numeric, or whose number lies beyond
// the range of a double (too large or too small in magnitude), leaves
// `value` untouched and answers false.
bool TryNumericTextToFloat(UnicodeStringView text, char16_t decimalSeparator, double& value);
bool TryNumericTextToFloat(UnicodeStringView text, double& value);
