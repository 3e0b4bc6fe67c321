// libFuzzer target: string-to-integer. The input is UTF-16 text (two bytes a
// code unit). StrToInt and TryStrToInt must agree, and a plain decimal
// number in range must come out as its value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/exceptions.h"
#include "runtime/str_to_int.h"

namespace {

// The value of a text of the form [+-]digits, when it fits 32 bits.
bool PlainDecimal(const std::u16string& text, int32_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  if (i == text.size() || text.size() - i > 12) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return false;
    v = v * 10 + (text[i] - u'0');
  }
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int32_t>(v);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  int32_t tried = 0;
  const bool ok = TryStrToInt(text, tried);
  bool raised = false;
  int32_t converted = 0;
  try {
    converted = StrToInt(text);
  } catch (const Exception&) {
    raised = true;
  }
  if (ok == raised || (ok && converted != tried)) std::abort();
  int32_t expected;
  if (PlainDecimal(text, expected) && (!ok || tried != expected)) std::abort();
  return 0;
}
