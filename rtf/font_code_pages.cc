#include "rtf/font_code_pages.h"

#include <unordered_map>

namespace rtf {
namespace {

struct CharsetCodePage {
  int32_t charset;
  int32_t codePage;
};

constexpr CharsetCodePage kCharsets[] = {
    {2, kSymbolCodePage}, {77, 10000}, {128, 932},  {129, 949},  {134, 936},  {136, 950},  {161, 1253},
    {162, 1254},          {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},
    {238, 1250},
};

// The Symbol font's characters that differ from their byte value: the Greek
// letters and the mathematical signs, arrows and bullets documents use.
const std::unordered_map<unsigned char, char32_t>& SymbolTable() {
  static const std::unordered_map<unsigned char, char32_t> table = [] {
    std::unordered_map<unsigned char, char32_t> t = {
        {0x22, U'\u2200'}, {0x24, U'\u2203'}, {0x27, U'\u220B'}, {0x2A, U'\u2217'}, {0x2D, U'\u2212'},
        {0x40, U'\u2245'}, {0x5C, U'\u2234'}, {0x5E, U'\u22A5'}, {0x7E, U'\u223C'},
        {0xA1, U'\u03D2'}, {0xA2, U'\u2032'}, {0xA3, U'\u2264'}, {0xA4, U'\u2044'}, {0xA5, U'\u221E'},
        {0xA6, U'\u0192'}, {0xA7, U'\u2663'}, {0xA8, U'\u2666'}, {0xA9, U'\u2665'}, {0xAA, U'\u2660'},
        {0xAB, U'\u2194'}, {0xAC, U'\u2190'}, {0xAD, U'\u2191'}, {0xAE, U'\u2192'}, {0xAF, U'\u2193'},
        {0xB0, U'\u00B0'}, {0xB1, U'\u00B1'}, {0xB2, U'\u2033'}, {0xB3, U'\u2265'}, {0xB4, U'\u00D7'},
        {0xB5, U'\u221D'}, {0xB6, U'\u2202'}, {0xB7, U'\u2022'}, {0xB8, U'\u00F7'}, {0xB9, U'\u2260'},
        {0xBA, U'\u2261'}, {0xBB, U'\u2248'}, {0xBC, U'\u2026'}, {0xC5, U'\u2295'}, {0xC6, U'\u2205'},
        {0xC7, U'\u2229'}, {0xC8, U'\u222A'}, {0xD1, U'\u2207'}, {0xD2, U'\u00AE'}, {0xD3, U'\u00A9'},
        {0xD4, U'\u2122'}, {0xD5, U'\u220F'}, {0xD6, U'\u221A'}, {0xD7, U'\u22C5'}, {0xD8, U'\u00AC'},
        {0xD9, U'\u2227'}, {0xDA, U'\u2228'}, {0xE0, U'\u25CA'}, {0xE5, U'\u2211'}, {0xF2, U'\u222B'},
    };
    // Letters: A-Z and a-z in the font's order of the Greek alphabet.
    const char16_t upper[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
    const char16_t lower[] = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";
    for (int i = 0; i < 26; ++i) {
      t[static_cast<unsigned char>('A' + i)] = upper[i];
      t[static_cast<unsigned char>('a' + i)] = lower[i];
    }
    return t;
  }();
  return table;
}

}  // namespace

int32_t CodePageForCharset(int32_t charset, int32_t ansiCodePage) {
  for (const CharsetCodePage& entry : kCharsets)
    if (entry.charset == charset) return entry.codePage;
  return ansiCodePage;
}

char32_t SymbolCharacter(unsigned char byte) {
  const auto& table = SymbolTable();
  const auto found = table.find(byte);
  return found == table.end() ? char32_t(byte) : found->second;
}

}  // namespace rtf
