// TextDecoder: 8-bit text in a font's code page to UTF-8, through the
// platform's code-page layer so that every platform decodes alike.
//
// A code page the platform cannot convert (a hostile \ansicpg or \cpg) falls
// back to 1252 instead of failing the document; the decoder remembers such
// pages so that each costs one failed attempt.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace rtf {

class TextDecoder {
 public:
  // Appends `bytes`, read in `codePage`, to `out` as UTF-8. Undefined bytes
  // become U+FFFD.
  void Decode(int32_t codePage, std::string_view bytes, std::string& out);

 private:
  std::set<int32_t> unsupported_;
};

// Appends one Unicode scalar value as UTF-8; surrogates and values past
// U+10FFFF become U+FFFD.
void AppendUtf8(char32_t c, std::string& out);

}  // namespace rtf
