#include "tools/accessdb/decimal_value.h"

#include <cstdint>
#include <stdexcept>

namespace accessdb {

std::string EncodeDecimal(const std::string& text, int precision, int scale) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  std::string whole, fraction;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) whole += text[i];
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) fraction += text[i];
  }
  if (i != text.size() || (whole.empty() && fraction.empty())) {
    throw std::invalid_argument("\"" + text + "\" is not a decimal number");
  }
  if (fraction.size() > static_cast<size_t>(scale)) {
    throw std::invalid_argument("\"" + text + "\" has more than " + std::to_string(scale) + " decimals");
  }
  fraction.resize(static_cast<size_t>(scale), '0');
  std::string digits = whole + fraction;
  digits.erase(0, digits.find_first_not_of('0') == std::string::npos ? digits.size() : digits.find_first_not_of('0'));
  if (digits.size() > static_cast<size_t>(precision)) {
    throw std::invalid_argument("\"" + text + "\" has more than " + std::to_string(precision) + " digits");
  }
  // At most 28 digits: fits 96 bits, so 128-bit arithmetic cannot overflow.
  unsigned __int128 magnitude = 0;
  for (char c : digits) magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
  std::string out(17, '\0');
  out[0] = negative && magnitude != 0 ? '\x80' : '\0';
  for (int group = 0; group < 4; ++group) {
    const auto bits = static_cast<std::uint32_t>(magnitude >> (32 * (3 - group)));
    for (int b = 0; b < 4; ++b) out[static_cast<size_t>(1 + 4 * group + b)] = static_cast<char>(bits >> (8 * b));
  }
  return out;
}

}  // namespace accessdb
