// Text made safe for XML, HTML and data URIs.
#pragma once

#include <string>
#include <string_view>

// UTF-8 with every invalid byte replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// The text every export writes: valid UTF-8 (as above) without the control
// characters other than tab, LF and CR (C0, DEL and C1: NUL and ESC show as
// nothing useful in any viewer) and without the noncharacters U+FFFE and
// U+FFFF, which XML 1.0 forbids.
std::string ReadableText(std::string_view text);

// A title as the exports show it: ReadableText, or "(untitled)" when that
// has no visible character (an empty heading or link shows nothing).
std::string ShownTitle(std::string_view title);

// ReadableText with &, <, > and " escaped. In attributes tab, LF and CR
// become character references, so that they survive attribute normalisation.
std::string EscapeMarkup(std::string_view utf8, bool attribute);

// Base64 (RFC 4648, with padding). Hand-written: the standard library has
// none, and the host needs nothing else from a library that has one.
std::string Base64(std::string_view bytes);
