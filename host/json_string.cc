#include "host/json_string.h"

#include <array>

#include <nlohmann/json.hpp>

namespace {

const char kHex[] = "0123456789abcdef";

std::string UnicodeEscape(int c) { return std::string("\\u00") + kHex[c >> 4] + kHex[c & 15]; }

// How nlohmann writes each ASCII byte inside a string: itself, a short
// escape, or \u00xx with lower-case digits.
std::array<std::string, 128> AsciiForms() {
  std::array<std::string, 128> forms;
  for (int c = 0; c < 128; ++c) {
    switch (c) {
      case '"': forms[c] = "\\\""; break;
      case '\\': forms[c] = "\\\\"; break;
      case '\b': forms[c] = "\\b"; break;
      case '\f': forms[c] = "\\f"; break;
      case '\n': forms[c] = "\\n"; break;
      case '\r': forms[c] = "\\r"; break;
      case '\t': forms[c] = "\\t"; break;
      default:
        if (c < 0x20) forms[c] = UnicodeEscape(c);
        else forms[c] = std::string(1, static_cast<char>(c));
    }
  }
  return forms;
}

// `quoted` (a JSON string) with each of `characters` written as \u00xx;
// they are ASCII and stand for themselves inside a JSON string.
std::string EscapeAlso(std::string quoted, std::string_view characters) {
  std::string out;
  out.reserve(quoted.size());
  for (const char c : quoted) {
    if (characters.find(c) != std::string_view::npos) out += UnicodeEscape(static_cast<unsigned char>(c));
    else out += c;
  }
  return out;
}

// Texts that are all ASCII, as titles and RTF contents nearly always are,
// are escaped here, runs of bytes that stand for themselves copied at once:
// nlohmann runs every byte through its UTF-8 decoder, a third of a JSON
// export's instructions. Any other byte leaves the text to nlohmann, which
// decides what is valid UTF-8.
std::string Quoted(std::string_view text) {
  static const std::array<std::string, 128> kForms = AsciiForms();
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 2);
  out += '"';
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\') continue;
    if (byte >= 0x80)
      return nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    out.append(text.data() + run, i - run);
    out += kForms[byte];
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
  out += '"';
  return out;
}

}  // namespace

std::string JsonQuoted(std::string_view text, std::string_view alsoEscaped) {
  std::string quoted = Quoted(text);
  return alsoEscaped.empty() ? quoted : EscapeAlso(std::move(quoted), alsoEscaped);
}
