// Which code page a font's \'xx bytes are in: the \fcharset table, and the
// Symbol font's own byte-to-character table (it has no code page of its own).
#pragma once

#include <cstdint>

namespace rtf {

// Stands for the Symbol font's character set (the number Windows uses for it).
constexpr int32_t kSymbolCodePage = 42;
constexpr int32_t kDefaultAnsiCodePage = 1252;

// The code page of \fcharsetN; 0, 1 and unknown character sets follow the
// document's \ansicpg (`ansiCodePage`).
int32_t CodePageForCharset(int32_t charset, int32_t ansiCodePage);

// The character a Symbol-font byte shows; bytes without one keep their value.
char32_t SymbolCharacter(unsigned char byte);

}  // namespace rtf
