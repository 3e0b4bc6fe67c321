#include "runtime/exceptions.h"

#include <vector>

#include "runtime/utf8.h"

Exception::Exception(UnicodeString message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

UnicodeString FormatText(UnicodeStringView format, std::initializer_list<FormatArg> args) {
  std::vector<FormatArg> rest(args);
  size_t next = 0;
  UnicodeString out;
  for (size_t i = 0; i < format.size(); ++i) {
    char16_t c = format[i];
    if (c == u'%' && i + 1 < format.size()) {
      char16_t spec = format[i + 1];
      if (spec == u'%') {
        out.push_back(u'%');
        ++i;
        continue;
      }
      if ((spec == u's' || spec == u'd') && next < rest.size()) {
        const FormatArg& a = rest[next++];
        if (const auto* s = std::get_if<UnicodeString>(&a)) {
          out += *s;
        } else {
          out += AsciiToUnicode(std::to_string(std::get<int64_t>(a)));
        }
        ++i;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}
