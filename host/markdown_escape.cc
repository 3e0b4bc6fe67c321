#include "host/markdown_escape.h"

#include <cctype>

#include "host/markup_text.h"

namespace {

// A character set as a table, so that escaping looks each byte up once.
class CharacterSet {
 public:
  constexpr explicit CharacterSet(const char* members) : in_() {
    for (; *members != '\0'; ++members) in_[static_cast<unsigned char>(*members)] = true;
  }
  bool operator()(char c) const { return in_[static_cast<unsigned char>(c)]; }

 private:
  bool in_[256];
};

// Escaped wherever they stand: CommonMark's inline syntax (code, emphasis,
// links, raw HTML, entities, escapes), GFM's tables and strikethrough, and
// the note tools' math ($), tags (#), block ids and superscripts (^).
constexpr CharacterSet kAlwaysEscaped("\\`*_[]<>|~&$#^");
// Escaped next to the same character: ==highlight==, ++inserted++, %%comment%%.
constexpr CharacterSet kEscapedWhenDoubled("=+%");
// Escaped as a line's first character: list items (- +) and setext
// underlines (= -). The other block starts (# > * _ ` ~ < [ |) are always escaped.
constexpr CharacterSet kEscapedAtLineStart("-+=");
// Percent-encoded in file paths: what ends or breaks a bare link destination.
constexpr CharacterSet kPercentEncodedInPaths(" %()<>\t\n\r");

// True when the "&" at `at` starts what a renderer would read as a
// character reference: "&name;", "&#123;" or "&#x1F;".
bool StartsReference(std::string_view text, size_t at) {
  size_t i = at + 1;
  while (i < text.size() && i - at <= 32 &&
         (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '#'))
    ++i;
  return i > at + 1 && i < text.size() && text[i] == ';';
}

}  // namespace

std::string EscapeMarkdownText(std::string_view text) {
  const std::string readable = ReadableText(text);
  std::string out;
  out.reserve(readable.size() + readable.size() / 8);
  for (size_t i = 0; i < readable.size(); ++i) {
    const char c = readable[i];
    if (c == '\n' || c == '\r') {
      out += ' ';
      continue;
    }
    const bool doubled = kEscapedWhenDoubled(c) &&
                         ((i > 0 && readable[i - 1] == c) || (i + 1 < readable.size() && readable[i + 1] == c));
    if (kAlwaysEscaped(c) || doubled) out += '\\';
    out += c;
  }
  return out;
}

std::string EscapeMarkdownLineStart(std::string escaped) {
  if (escaped.empty()) return escaped;
  if (kEscapedAtLineStart(escaped[0])) return "\\" + escaped;
  size_t digits = 0;
  while (digits < escaped.size() && escaped[digits] >= '0' && escaped[digits] <= '9') ++digits;
  if (digits > 0 && digits < escaped.size() && (escaped[digits] == '.' || escaped[digits] == ')'))
    escaped.insert(digits, 1, '\\');
  return escaped;
}

std::string MarkdownUrl(std::string_view url) {
  const std::string readable = ReadableText(url);
  std::string out = "<";
  for (size_t i = 0; i < readable.size(); ++i) {
    const char c = readable[i];
    if (c == '\n' || c == '\r') continue;  // no URL holds a line end; a renderer would end the link there
    if (c == '<' || c == '>' || c == '\\') out += '\\';
    // Character references are decoded in destinations before backslash
    // escapes, so only a reference keeps the "&" of "&amp;" literal.
    out += c == '&' && StartsReference(readable, i) ? "&amp;" : std::string(1, c);
  }
  return out + ">";
}

std::string MarkdownFilePath(std::string_view path) {
  static const char kHex[] = "0123456789ABCDEF";
  const std::string readable = ReadableText(path);
  std::string out;
  for (size_t i = 0; i < readable.size(); ++i) {
    const char c = readable[i];
    if (kPercentEncodedInPaths(c)) {
      out += '%';
      out += kHex[static_cast<unsigned char>(c) >> 4];
      out += kHex[static_cast<unsigned char>(c) & 15];
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += c == '&' && StartsReference(readable, i) ? "&amp;" : std::string(1, c);
    }
  }
  return out;
}
