#include "platform/dao/dao_connect_string.h"

UnicodeString ConnectPassword(UnicodeStringView connect) {
  size_t start = 0;
  while (start <= connect.size()) {
    size_t end = connect.find(u';', start);
    if (end == UnicodeStringView::npos) end = connect.size();
    UnicodeStringView part = connect.substr(start, end - start);
    if (part.size() >= 4 && SameTextAscii(part.substr(0, 4), u"PWD=")) return UnicodeString(part.substr(4));
    start = end + 1;
  }
  return UnicodeString();
}
