#include "tools/accessdb/decimal_value.h"

#include <cstdint>
#include <stdexcept>

namespace accessdb {
namespace {

constexpr int kMaxScale = 28;

struct DecimalText {
  bool negative = false;
  std::string whole, fraction;  // the digits before and after the point
};

DecimalText ParseDecimalText(const std::string& text) {
  DecimalText d;
  size_t i = 0;
  d.negative = !text.empty() && text[0] == '-';
  if (d.negative) ++i;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) d.whole += text[i];
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) d.fraction += text[i];
  }
  if (i != text.size() || (d.whole.empty() && d.fraction.empty())) {
    throw std::invalid_argument("\"" + text + "\" is not a decimal number");
  }
  return d;
}

// The digits without leading zeros ("" for zero).
std::string Significant(const std::string& digits) {
  const size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? std::string() : digits.substr(first);
}

// At most 29 digits, checked by the callers: 128-bit arithmetic cannot overflow.
unsigned __int128 Magnitude(const std::string& digits) {
  unsigned __int128 m = 0;
  for (char c : digits) m = m * 10 + static_cast<unsigned>(c - '0');
  return m;
}

void PutLE(std::string& out, size_t at, std::uint64_t v, int bytes) {
  for (int b = 0; b < bytes; ++b) out[at + static_cast<size_t>(b)] = static_cast<char>(v >> (8 * b));
}

}  // namespace

std::string EncodeDecimal(const std::string& text, int precision, int scale) {
  DecimalText d = ParseDecimalText(text);
  if (d.fraction.size() > static_cast<size_t>(scale)) {
    throw std::invalid_argument("\"" + text + "\" has more than " + std::to_string(scale) + " decimals");
  }
  d.fraction.resize(static_cast<size_t>(scale), '0');
  const std::string digits = Significant(d.whole + d.fraction);
  if (digits.size() > static_cast<size_t>(precision)) {
    throw std::invalid_argument("\"" + text + "\" has more than " + std::to_string(precision) + " digits");
  }
  const unsigned __int128 magnitude = Magnitude(digits);
  std::string out(17, '\0');
  out[0] = d.negative && magnitude != 0 ? '\x80' : '\0';
  for (int group = 0; group < 4; ++group) {
    PutLE(out, static_cast<size_t>(1 + 4 * group), static_cast<std::uint32_t>(magnitude >> (32 * (3 - group))), 4);
  }
  return out;
}

std::string EncodeCalculatedDecimal(const std::string& text) {
  const DecimalText d = ParseDecimalText(text);
  if (d.fraction.size() > static_cast<size_t>(kMaxScale)) {
    throw std::invalid_argument("\"" + text + "\" has more than " + std::to_string(kMaxScale) + " decimals");
  }
  const std::string digits = Significant(d.whole + d.fraction);
  constexpr unsigned __int128 kLimit = static_cast<unsigned __int128>(1) << 96;
  if (digits.size() > 29 || Magnitude(digits) >= kLimit) {
    throw std::invalid_argument("\"" + text + "\" is beyond 96 bits");
  }
  const unsigned __int128 magnitude = Magnitude(digits);
  constexpr std::uint16_t kDecimalVariantType = 14;  // what Access writes in the first two bytes
  std::string out(16, '\0');
  PutLE(out, 0, kDecimalVariantType, 2);
  out[2] = static_cast<char>(d.fraction.size());
  out[3] = d.negative && magnitude != 0 ? '\x80' : '\0';
  PutLE(out, 4, static_cast<std::uint32_t>(magnitude >> 64), 4);
  PutLE(out, 8, static_cast<std::uint64_t>(magnitude), 8);
  return out;
}

}  // namespace accessdb
