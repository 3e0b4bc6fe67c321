// RtfTokenizer: splits RTF bytes into tokens, one at a time, without
// recursion and without reading past the end of its input.
//
// Lexical rules: one space after a control word is its delimiter and is
// consumed; a space after a control symbol is text; raw CR and LF are ignored
// (outside \bin data); "\bin N" is returned as one kBinary token holding the
// next N bytes (the rest of the input when fewer remain); a cut-off or
// malformed \'xx escape gives no token. The tokenizer only views the input:
// the caller keeps the bytes alive while tokens are in use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rtf {

struct RtfToken {
  enum class Kind { kEnd, kGroupOpen, kGroupClose, kControlWord, kControlSymbol, kHexByte, kText, kBinary };
  Kind kind = Kind::kEnd;
  std::string_view word;   // kControlWord: the letters; kText, kBinary: the bytes
  bool hasParameter = false;
  int32_t parameter = 0;   // kControlWord with a parameter (clamped to 32 bits)
  char symbol = 0;         // kControlSymbol: the character after the backslash
  unsigned char byte = 0;  // kHexByte
};

class RtfTokenizer {
 public:
  explicit RtfTokenizer(std::string_view input) : input_(input) {}

  RtfToken Next();
  size_t Position() const { return pos_; }

 private:
  RtfToken ReadControl();
  RtfToken ReadControlWord();

  std::string_view input_;
  size_t pos_ = 0;
};

}  // namespace rtf
