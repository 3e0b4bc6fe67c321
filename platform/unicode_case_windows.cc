// Unicode upper-casing on Windows: LCMapStringW in the invariant locale, which
// applies the system's simple upper-case table whatever the user's language
// (CharUpperBuffW would follow the user's locale, turning "i" into "İ" under
// Turkish settings).
#include <windows.h>

#include "platform/unicode_case.h"

UnicodeString UnicodeUpperCase(UnicodeStringView s) {
  if (s.empty()) return UnicodeString();
  UnicodeString out(s.size(), u'\0');
  const int n = LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, reinterpret_cast<LPCWSTR>(s.data()),
                             static_cast<int>(s.size()), reinterpret_cast<LPWSTR>(out.data()),
                             static_cast<int>(out.size()));
  // Upper-casing keeps the length; a failure leaves the text as it was.
  if (n != static_cast<int>(s.size())) return UnicodeString(s);
  return out;
}

bool SameTextUnicode(UnicodeStringView a, UnicodeStringView b) {
  return a.size() == b.size() && UnicodeUpperCase(a) == UnicodeUpperCase(b);
}
