// The fonts that draw pictures instead of letters (Symbol, Wingdings): what
// each of their bytes shows, as a Unicode character.
//
// Their text is stored in two ways: as bytes of the font (\'b7, or plain
// letters that the font draws as Greek), and, by Word and LibreOffice, as the
// private-use character U+F000 + byte (\u61623, \u-3913 for U+F0B7). Both
// come out as the character the font draws, so that a bullet stays visible
// wherever the font is not installed.
#pragma once

#include <cstdint>
#include <string_view>

namespace rtf {

enum class SymbolFont { kNone, kSymbol, kWingdings };

// The kind of the font named `name` (as in the font table) with \fcharset
// `charset` (-1 when absent): other fonts of the symbol character set (2)
// count as Symbol.
SymbolFont SymbolFontOf(std::string_view name, int32_t charset);

// The character `byte` shows in `font`: the font's table; for bytes not in
// it, Symbol's ASCII bytes themselves and otherwise U+F000 + byte. kNone
// returns the byte.
char32_t SymbolFontCharacter(SymbolFont font, unsigned char byte);

// `c`, or the character it draws when it is one of the private-use
// characters U+F020 to U+F0FF: as SymbolFontCharacter in a symbol font; in
// any other font, only the bullets and arrows lists use. Other characters
// are returned as they are.
char32_t DrawnCharacter(SymbolFont font, char32_t c);

}  // namespace rtf
