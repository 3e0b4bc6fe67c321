#include "runtime/file_name.h"

UnicodeString ExtractFileExt(const UnicodeString& path) {
  const size_t last = path.find_last_of(u".\\:");
  if (last == UnicodeString::npos || path[last] != u'.') return UnicodeString();
  return path.substr(last);
}
