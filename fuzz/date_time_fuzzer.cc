// libFuzzer target: the date-time parser. The input is split at its first
// zero byte into the text and the picture (Latin-1); the byte before the
// text picks the separators. Anything but the parser's conversion errors is
// a fault.
#include <cstddef>
#include <cstdint>

#include "import_engine/date_time_parsing.h"
#include "runtime/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char16_t kDateSeparators[] = {u'/', u'.', u'-', u' '};
  static const char16_t kTimeSeparators[] = {u':', u'.', u'h', 0};
  if (size == 0) return 0;
  const uint8_t choice = data[0];
  UnicodeString text, picture;
  UnicodeString* part = &text;
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0 && part == &text) {
      part = &picture;
      continue;
    }
    part->push_back(static_cast<char16_t>(data[i]));
  }
  try {
    ParseDateTime(text, picture, kDateSeparators[choice & 3], kTimeSeparators[(choice >> 2) & 3], 2024);
  } catch (const Exception&) {
    // EConvertError: a clean error.
  }
  return 0;
}
