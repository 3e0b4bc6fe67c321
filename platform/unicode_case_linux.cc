// Unicode upper-casing with ICU's simple case mapping (u_toupper), one code
// point at a time, so that surrogate pairs map as one character.
#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include "platform/unicode_case.h"

UnicodeString UnicodeUpperCase(UnicodeStringView s) {
  UnicodeString out;
  out.reserve(s.size());
  const int32_t n = static_cast<int32_t>(s.size());
  const UChar* p = reinterpret_cast<const UChar*>(s.data());
  for (int32_t i = 0; i < n;) {
    UChar32 c;
    U16_NEXT(p, i, n, c);
    UChar32 u = u_toupper(c);
    // Simple mappings keep a character in or out of the supplementary planes,
    // so the text keeps its length.
    if (U16_LENGTH(u) != U16_LENGTH(c)) u = c;
    if (U_IS_BMP(u)) {
      out.push_back(static_cast<char16_t>(u));
    } else {
      out.push_back(static_cast<char16_t>(U16_LEAD(u)));
      out.push_back(static_cast<char16_t>(U16_TRAIL(u)));
    }
  }
  return out;
}

bool SameTextUnicode(UnicodeStringView a, UnicodeStringView b) {
  return a.size() == b.size() && UnicodeUpperCase(a) == UnicodeUpperCase(b);
}
