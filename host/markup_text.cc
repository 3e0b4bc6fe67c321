#include "host/markup_text.h"

#include "runtime/utf8.h"

std::string ValidUtf8(std::string_view text) {
  return IsValidUtf8(text) ? std::string(text) : ToUtf8(FromUtf8(text));  // valid text needs no round trip
}

std::string ReadableText(std::string_view utf8) {
  std::string converted;
  std::string_view text = utf8;
  if (!IsValidUtf8(utf8)) text = converted = ToUtf8(FromUtf8(utf8));
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto u = static_cast<unsigned char>(text[i]);
    if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0x7F) continue;
    // C1 controls U+0080..U+009F: C2 80..C2 9F.
    if (u == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      ++i;
      continue;
    }
    // U+FFFE and U+FFFF: EF BF BE, EF BF BF.
    if (u == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
        (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
      i += 2;
      continue;
    }
    out += text[i];
  }
  return out;
}

std::string ShownTitle(std::string_view title) {
  const std::string shown = ReadableText(title);
  return shown.find_first_not_of(" \t\r\n") == std::string::npos ? "(untitled)" : shown;
}

std::string EscapeMarkup(std::string_view utf8, bool attribute) {
  const std::string text = ReadableText(utf8);
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\t': out += attribute ? "&#9;" : "\t"; break;
      case '\n': out += attribute ? "&#10;" : "\n"; break;
      case '\r': out += attribute ? "&#13;" : "\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Base64(std::string_view bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const uint32_t v = uint32_t(uint8_t(bytes[i])) << 16 | uint32_t(uint8_t(bytes[i + 1])) << 8 | uint8_t(bytes[i + 2]);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  if (i < bytes.size()) {
    uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
    if (i + 1 < bytes.size()) v |= uint32_t(uint8_t(bytes[i + 1])) << 8;
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}
