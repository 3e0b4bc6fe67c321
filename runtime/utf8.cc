#include "runtime/utf8.h"

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(UnicodeString& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// The multi-byte sequence at s[i] as `cp`: its length, or 0 when it is no
// valid UTF-8 (overlong, a surrogate, past U+10FFFF, cut short).
size_t DecodeSequence(std::string_view s, size_t i, char32_t& cp) {
  const unsigned char b = static_cast<unsigned char>(s[i]);
  size_t len = 0;
  char32_t min = 0;
  if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; min = 0x80; }
  else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; min = 0x800; }
  else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; min = 0x10000; }
  if (len == 0 || i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const unsigned char cb = static_cast<unsigned char>(s[i + k]);
    if ((cb & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (cb & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

std::string ToUtf8(UnicodeStringView s) {
  std::string out;
  ToUtf8(s, out);
  return out;
}

void ToUtf8(UnicodeStringView s, std::string& out) {
  // Runs of ASCII, the bulk of every text, are copied a block at a time;
  // only the other characters go through the general encoder.
  out.clear();
  out.reserve(s.size() + s.size() / 2);
  size_t i = 0;
  while (i < s.size()) {
    size_t ascii = i;
    while (ascii < s.size() && s[ascii] < 0x80) ++ascii;
    if (ascii > i) {
      const size_t at = out.size();
      out.resize(at + (ascii - i));
      char* next = out.data() + at;
      for (; i < ascii; ++i) *next++ = static_cast<char>(s[i]);
      continue;
    }
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
    ++i;
  }
}

UnicodeString FromUtf8(std::string_view s) {
  UnicodeString out;
  out.reserve(s.size());
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    char32_t cp = 0;
    const size_t len = DecodeSequence(s, i, cp);
    if (len == 0) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    AppendUtf16(out, cp);
    i += len;
  }
  return out;
}

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t cp = 0;
    const size_t len = DecodeSequence(s, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

size_t Utf8PrefixLength(std::string_view utf8, size_t limit) noexcept {
  if (utf8.size() <= limit) return utf8.size();
  size_t length = limit;
  while (length > 0 && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80) --length;
  return length;
}
