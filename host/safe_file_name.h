// File and folder names made from titles, safe on every common file system.
#pragma once

#include <string>
#include <string_view>

// `title` with the characters Windows, macOS or Linux refuse in a name
// (/ \ : * ? " < > | and control characters) replaced by "_", blanks and
// dots trimmed from both ends, cut to at most 60 bytes at a character
// boundary; "untitled" when nothing is left. Invalid UTF-8 becomes U+FFFD.
std::string SafeFileName(std::string_view title);

// "007-Title": the 1-based `position` among siblings, at least three digits,
// before the safe title; siblings therefore never share a name.
std::string NumberedFileName(size_t position, std::string_view title);
