// Conversion between UTF-16 (UnicodeString) and UTF-8 (code page 65001).
//
// Written by hand because the runtime must build with nothing but the
// standard library on every platform (the standard's own codecvt facets are
// deprecated), and because the host boundary needs a conversion that never
// fails: a lone surrogate becomes U+FFFD, and invalid UTF-8 bytes each become
// U+FFFD, as the platforms' own converters do.
#pragma once

#include <string>
#include <string_view>

#include "runtime/unicode_string.h"

std::string ToUtf8(UnicodeStringView s);
// The same into `out`, replacing what it held; its storage is reused.
void ToUtf8(UnicodeStringView s, std::string& out);
UnicodeString FromUtf8(std::string_view s);
// True when FromUtf8 would replace nothing.
bool IsValidUtf8(std::string_view s);

// The length of the longest prefix of `utf8` that has at most `limit` bytes
// and does not end inside a character: the cut steps back over continuation
// bytes. Allocates nothing, so it also serves where memory may have run out.
size_t Utf8PrefixLength(std::string_view utf8, size_t limit) noexcept;
