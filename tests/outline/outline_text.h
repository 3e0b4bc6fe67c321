// Builds outline texts for tests: entries laid end to end in the byte form
// the parser reads, with the length fields counting bytes of `codePage`.
#pragma once

#include <cstdio>
#include <string>

#include "platform/code_page.h"
#include "runtime/unicode_string.h"

namespace outline_text {

// One entry in code-page bytes; `trailer` stands for the nine skipped bytes.
inline std::string EntryBytes(int32_t codePage, const UnicodeString& parent, const UnicodeString& key,
                              const UnicodeString& title, const std::string& trailer = "ABCDEFGHI") {
  auto field = [codePage](const UnicodeString& text, int width) {
    std::string bytes = WideToMultiByte(codePage, text);
    char length[8];
    std::snprintf(length, sizeof length, "%0*zu", width, bytes.size());
    return std::string(length) + bytes;
  };
  return field(parent, 2) + field(key, 2) + field(title, 3) + trailer;
}

// The same entry as the text the root record would hold.
inline UnicodeString Entry(const UnicodeString& parent, const UnicodeString& key, const UnicodeString& title,
                           const std::string& trailer = "ABCDEFGHI") {
  return MultiByteToWide(GetACP(), EntryBytes(GetACP(), parent, key, title, trailer));
}

}  // namespace outline_text
