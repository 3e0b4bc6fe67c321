#include "runtime/unicode_string.h"

#include <cstdint>
#include <cwctype>

UnicodeString AsciiUpperCase(UnicodeStringView s) {
  UnicodeString r(s);
  for (auto& c : r) c = AsciiUpper(c);
  return r;
}

UnicodeString AsciiLowerCase(UnicodeStringView s) {
  UnicodeString r(s);
  for (auto& c : r) c = AsciiLower(c);
  return r;
}

bool SameTextAscii(UnicodeStringView a, UnicodeStringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

// Code units outside the surrogate range are mapped one by one with the C
// library's wide-character mapping, which follows Unicode's simple case
// mapping for the BMP in a UTF-8 locale and ASCII in the C locale; ASCII is
// always folded so the result does not depend on the process locale for it.
static char16_t UpperUnit(char16_t c) {
  if (c < 0x80) return AsciiUpper(c);
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  // Held in 32 bits: wint_t is only 16 bits wide on Windows.
  uint32_t u = static_cast<uint32_t>(std::towupper(static_cast<wint_t>(c)));
  return u <= 0xFFFF ? static_cast<char16_t>(u) : c;
}

UnicodeString UpperCase(UnicodeStringView s) {
  UnicodeString r(s);
  for (auto& c : r) c = UpperUnit(c);
  return r;
}

bool SameText(UnicodeStringView a, UnicodeStringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperUnit(a[i]) != UpperUnit(b[i])) return false;
  return true;
}

UnicodeString TrimLeft(UnicodeStringView s) {
  size_t i = 0;
  while (i < s.size() && s[i] <= u' ') ++i;
  return UnicodeString(s.substr(i));
}

UnicodeString TrimRight(UnicodeStringView s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] <= u' ') --n;
  return UnicodeString(s.substr(0, n));
}

UnicodeString Trim(UnicodeStringView s) { return TrimLeft(TrimRight(s)); }

UnicodeString AsciiToUnicode(std::string_view s) {
  UnicodeString r;
  r.reserve(s.size());
  for (unsigned char c : s) r.push_back(static_cast<char16_t>(c));
  return r;
}
