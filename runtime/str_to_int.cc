#include "runtime/str_to_int.h"

#include "runtime/exceptions.h"

namespace {

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

// Written by hand: std::from_chars takes neither the "$"/"x" prefixes nor a
// leading "+", and the standard stream and strto* functions skip every kind
// of white space and depend on the C locale.
bool TryStrToInt(UnicodeStringView text, int32_t& value) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == u' ') ++i;

  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }

  bool hex = false;
  if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }

  if (i == n) return false;  // nothing, or a sign or prefix without digits

  // Accumulate the magnitude in 64 bits; every check below keeps it within
  // 33 bits, so it never overflows.
  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  const uint64_t base = hex ? 16 : 10;
  uint64_t magnitude = 0;
  for (; i < n; ++i) {
    int digit = hex ? HexDigitValue(text[i]) : (text[i] >= u'0' && text[i] <= u'9' ? text[i] - u'0' : -1);
    if (digit < 0) return false;
    magnitude = magnitude * base + static_cast<uint64_t>(digit);
    if (magnitude > limit) return false;
  }

  // Two's complement of the low 32 bits covers both the hexadecimal
  // read-back ($FFFFFFFF = -1) and the negative decimal range.
  uint32_t bits = static_cast<uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  value = static_cast<int32_t>(bits);
  return true;
}

int32_t StrToInt(UnicodeStringView text) {
  int32_t value = 0;
  if (!TryStrToInt(text, value))
    throw EConvertError(FormatText(u"''%s'' is not a valid integer value", {UnicodeString(text)}));
  return value;
}
