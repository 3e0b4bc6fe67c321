// File and folder names made from titles, safe on every common file system
// and in the links note tools write to them.
#pragma once

#include <string>
#include <string_view>

// `title` with the characters Windows, macOS or Linux refuse in a name
// (/ \ : * ? " < > | and control characters) and those that end or cut a
// note tool's link to it (# ^ [ ]) replaced by "_", blanks and dots trimmed
// from both ends, cut to at most 60 bytes at a character boundary;
// "untitled" when nothing is left; a name Windows keeps for a device (CON,
// NUL, COM1 ..., also before an extension) gets "_" after that word.
// Invalid UTF-8 becomes U+FFFD.
std::string SafeFileName(std::string_view title);

// "007-Title": the 1-based `position` among `siblings` siblings, padded with
// zeros to the width of the largest sibling number (at least three digits),
// before the safe title; siblings therefore never share a name and sort by
// name in their order.
std::string NumberedFileName(size_t position, size_t siblings, std::string_view title);
