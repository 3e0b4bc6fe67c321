#include "rtf/text_decoder.h"

#include <algorithm>
#include <stdexcept>

#include "platform/code_page.h"
#include "rtf/font_code_pages.h"
#include "runtime/utf8.h"

namespace rtf {

void TextDecoder::Decode(int32_t codePage, std::string_view bytes, std::string& out) {
  if (bytes.empty()) return;
  // Every code page RTF names keeps the bytes below 0x80 as ASCII (a
  // double-byte page's lead bytes are above), and most runs are ASCII only.
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    out.append(bytes);
    return;
  }
  if (unsupported_.count(codePage)) codePage = kDefaultAnsiCodePage;
  try {
    out += ToUtf8(MultiByteToWide(codePage, bytes));
  } catch (const std::exception&) {
    if (codePage == kDefaultAnsiCodePage) throw;
    unsupported_.insert(codePage);
    out += ToUtf8(MultiByteToWide(kDefaultAnsiCodePage, bytes));
  }
}

void AppendUtf8(char32_t c, std::string& out) {
  if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace rtf
