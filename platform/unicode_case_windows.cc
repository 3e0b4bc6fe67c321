// Unicode upper-casing on Windows: LCMapStringW in the invariant locale with
// linguistic casing, which applies Unicode's simple mappings whatever the
// user's language. Without LCMAP_LINGUISTIC_CASING the file system's table
// applies, which leaves letters such as the dotless i alone; CharUpperBuffW
// would follow the user's locale, turning "i" into "İ" under Turkish settings.
#include <windows.h>

#include "platform/unicode_case.h"

UnicodeString UnicodeUpperCase(UnicodeStringView s) {
  if (s.empty()) return UnicodeString();
  UnicodeString out(s.size(), u'\0');
  const int n = LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING,
                             reinterpret_cast<LPCWSTR>(s.data()), static_cast<int>(s.size()),
                             reinterpret_cast<LPWSTR>(out.data()), static_cast<int>(out.size()));
  // Upper-casing keeps the length; a failure leaves the text as it was.
  if (n != static_cast<int>(s.size())) return UnicodeString(s);
  return out;
}

bool SameTextUnicode(UnicodeStringView a, UnicodeStringView b) {
  return a.size() == b.size() && UnicodeUpperCase(a) == UnicodeUpperCase(b);
}
