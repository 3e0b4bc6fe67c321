// Text conversions of the writer: UTF-8 in, Jet 4 UCS-2 (optionally compressed)
// or Jet 3 code page bytes out.
#pragma once

#include <memory>
#include <string>

#include "tools/accessdb/byte_buffer.h"

namespace accessdb {

// Throws std::invalid_argument for malformed UTF-8.
std::u16string Utf8ToUtf16(const std::string& utf8);
void Utf8ToUtf16(const std::string& utf8, std::u16string& out);  // reuses `out`

// Jet 4 stored form of a text. With `compress`, text whose characters allow it
// is written in the compressed form: FF FE, then one byte per character
// U+0001-U+00FF, with a 0x00 byte switching to and from runs of two-byte
// characters. Readers switch modes on every 0x00 byte, so text holding a
// character whose low byte is 0x00 is stored uncompressed; and since readers take
// any value starting FF FE as compressed, text starting with U+FEFF is always
// stored compressed. Throws std::invalid_argument when both apply (no stored form
// reads back as that text).
Bytes EncodeJet4Text(const std::u16string& text, bool compress);
void EncodeJet4Text(const std::u16string& text, bool compress, Bytes& out);  // reuses `out`

// Converts UTF-8 to one Windows code page (ICU converter). Characters the code
// page lacks are an error, never a silent substitute.
class CodePageEncoder {
 public:
  explicit CodePageEncoder(int code_page);  // throws std::invalid_argument
  ~CodePageEncoder();
  CodePageEncoder(const CodePageEncoder&) = delete;
  CodePageEncoder& operator=(const CodePageEncoder&) = delete;

  // Throws std::invalid_argument naming the first character the code page lacks.
  std::string Encode(const std::string& utf8) const;
  bool CanEncode(const std::string& utf8) const;
  int code_page() const { return code_page_; }

 private:
  int code_page_;
  struct Converter;
  std::unique_ptr<Converter> converter_;
};

}  // namespace accessdb
