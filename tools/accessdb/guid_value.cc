#include "tools/accessdb/guid_value.h"

#include <stdexcept>

namespace accessdb {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

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
    const int high = HexDigit(text[static_cast<size_t>(kDigitsAt[i])]);
    const int low = HexDigit(text[static_cast<size_t>(kDigitsAt[i] + 1)]);
    if (high < 0 || low < 0) throw fail();
    out[static_cast<size_t>(i)] = static_cast<char>(high << 4 | low);
  }
  return out;
}

}  // namespace accessdb
