// Which code page a font's \'xx bytes are in: the \fcharset table. The
// symbol fonts have no code page; symbol_fonts.h reads their bytes.
#pragma once

#include <cstdint>

namespace rtf {

constexpr int32_t kDefaultAnsiCodePage = 1252;

// The code page of \fcharsetN; 0, 1, 2 (symbol) and unknown character sets
// follow the document's \ansicpg (`ansiCodePage`).
int32_t CodePageForCharset(int32_t charset, int32_t ansiCodePage);

}  // namespace rtf
