// UnicodeString: the UTF-16 text type used for all text inside the system.
//
// A plain std::u16string: value semantics stand in for reference counting (a
// copy owns its own characters). Comparison with operator< is the ordinal
// comparison of UTF-16 code units as unsigned 16-bit numbers, which is the
// order every ordered container of texts in the system relies on.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

using UnicodeString = std::u16string;
using UnicodeStringView = std::u16string_view;

// The same code units: what operator== answers, compared as bytes. The
// standard comparison of char16_t texts goes one code unit at a time, and
// the import compares names in every cell.
inline bool SameUnits(UnicodeStringView a, UnicodeStringView b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

// ASCII-only helpers used where the system compares or folds Latin letters
// only (the runtime's CompareText / UpperCase semantics).
// Inline: every case-insensitive comparison of names calls them per character.
inline char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
inline char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }
UnicodeString AsciiUpperCase(UnicodeStringView s);
UnicodeString AsciiLowerCase(UnicodeStringView s);
// True when both texts are equal ignoring the case of ASCII letters.
bool SameTextAscii(UnicodeStringView a, UnicodeStringView b);

// Full Unicode simple case mapping of each code unit (for the dataset's
// case-insensitive field names and similar places that fold every letter).
UnicodeString UpperCase(UnicodeStringView s);
bool SameText(UnicodeStringView a, UnicodeStringView b);

// Trimming of blanks and control characters (code units <= U+0020), the rule of
// the runtime's Trim family.
UnicodeString Trim(UnicodeStringView s);
UnicodeString TrimLeft(UnicodeStringView s);
UnicodeString TrimRight(UnicodeStringView s);

// ASCII text to UnicodeString (for literals and numbers); every byte must be < 0x80.
UnicodeString AsciiToUnicode(std::string_view s);
