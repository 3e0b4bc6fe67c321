// Upper-casing by Unicode's rules, independent of the process locale.
//
// The C library's towupper follows the locale: in the C locale it leaves every
// non-ASCII letter alone, so "mär" would not match "MÄR". These functions map
// each character with Unicode's simple (one-to-one, locale-free) upper-case
// mapping instead: ICU on Linux, LCMapStringW with linguistic casing in the
// invariant locale on Windows. Texts keep their length; "ı" (dotless i)
// becomes "I", "i" becomes "I" (no Turkish special case), "ß" stays "ß".
#pragma once

#include "runtime/unicode_string.h"

UnicodeString UnicodeUpperCase(UnicodeStringView s);
// True when both texts are equal after UnicodeUpperCase.
bool SameTextUnicode(UnicodeStringView a, UnicodeStringView b);
