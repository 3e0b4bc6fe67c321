#include "tools/accessdb/guid_value.h"

#include <charconv>
#include <stdexcept>

namespace accessdb {

std::string EncodeGuid(const std::string& text) {
  // Where each stored byte's two digits start in the text.
  static constexpr int kDigitsAt[16] = {7, 5, 3, 1, 12, 10, 17, 15, 20, 22, 25, 27, 29, 31, 33, 35};
  const auto fail = [&] { return std::invalid_argument("\"" + text + "\" is not a GUID {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"); };
  if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
      text[19] != '-' || text[24] != '-') {
    throw fail();
  }
  std::string out(16, '\0');
  for (int i = 0; i < 16; ++i) {
    const char* digits = text.data() + kDigitsAt[i];
    unsigned byte = 0;
    const auto [end, error] = std::from_chars(digits, digits + 2, byte, 16);
    if (error != std::errc() || end != digits + 2) throw fail();
    out[static_cast<size_t>(i)] = static_cast<char>(byte);
  }
  return out;
}

}  // namespace accessdb
