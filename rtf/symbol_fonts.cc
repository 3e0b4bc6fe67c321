#include "rtf/symbol_fonts.h"

#include <unordered_map>

namespace rtf {
namespace {

using CharacterTable = std::unordered_map<unsigned char, char32_t>;

// The Symbol font's characters that differ from their byte value: the Greek
// letters, the mathematical signs, arrows, bullets and bracket pieces.
const CharacterTable& SymbolTable() {
  static const CharacterTable table = [] {
    CharacterTable t = {
        {0x22, U'\u2200'}, {0x24, U'\u2203'}, {0x27, U'\u220B'}, {0x2A, U'\u2217'}, {0x2D, U'\u2212'},
        {0x40, U'\u2245'}, {0x5C, U'\u2234'}, {0x5E, U'\u22A5'}, {0x7E, U'\u223C'}, {0xA0, U'\u20AC'},
        {0xA1, U'\u03D2'}, {0xA2, U'\u2032'}, {0xA3, U'\u2264'}, {0xA4, U'\u2044'}, {0xA5, U'\u221E'},
        {0xA6, U'\u0192'}, {0xA7, U'\u2663'}, {0xA8, U'\u2666'}, {0xA9, U'\u2665'}, {0xAA, U'\u2660'},
        {0xAB, U'\u2194'}, {0xAC, U'\u2190'}, {0xAD, U'\u2191'}, {0xAE, U'\u2192'}, {0xAF, U'\u2193'},
        {0xB0, U'\u00B0'}, {0xB1, U'\u00B1'}, {0xB2, U'\u2033'}, {0xB3, U'\u2265'}, {0xB4, U'\u00D7'},
        {0xB5, U'\u221D'}, {0xB6, U'\u2202'}, {0xB7, U'\u2022'}, {0xB8, U'\u00F7'}, {0xB9, U'\u2260'},
        {0xBA, U'\u2261'}, {0xBB, U'\u2248'}, {0xBC, U'\u2026'}, {0xBD, U'\u23D0'}, {0xBE, U'\u23AF'},
        {0xBF, U'\u21B5'}, {0xC0, U'\u2135'}, {0xC1, U'\u2111'}, {0xC2, U'\u211C'}, {0xC3, U'\u2118'},
        {0xC4, U'\u2297'}, {0xC5, U'\u2295'}, {0xC6, U'\u2205'}, {0xC7, U'\u2229'}, {0xC8, U'\u222A'},
        {0xC9, U'\u2283'}, {0xCA, U'\u2287'}, {0xCB, U'\u2284'}, {0xCC, U'\u2282'}, {0xCD, U'\u2286'},
        {0xCE, U'\u2208'}, {0xCF, U'\u2209'}, {0xD0, U'\u2220'}, {0xD1, U'\u2207'}, {0xD2, U'\u00AE'},
        {0xD3, U'\u00A9'}, {0xD4, U'\u2122'}, {0xD5, U'\u220F'}, {0xD6, U'\u221A'}, {0xD7, U'\u22C5'},
        {0xD8, U'\u00AC'}, {0xD9, U'\u2227'}, {0xDA, U'\u2228'}, {0xDB, U'\u21D4'}, {0xDC, U'\u21D0'},
        {0xDD, U'\u21D1'}, {0xDE, U'\u21D2'}, {0xDF, U'\u21D3'}, {0xE0, U'\u25CA'}, {0xE1, U'\u27E8'},
        {0xE2, U'\u00AE'}, {0xE3, U'\u00A9'}, {0xE4, U'\u2122'}, {0xE5, U'\u2211'}, {0xE6, U'\u239B'},
        {0xE7, U'\u239C'}, {0xE8, U'\u239D'}, {0xE9, U'\u23A1'}, {0xEA, U'\u23A2'}, {0xEB, U'\u23A3'},
        {0xEC, U'\u23A7'}, {0xED, U'\u23A8'}, {0xEE, U'\u23A9'}, {0xEF, U'\u23AA'}, {0xF1, U'\u27E9'},
        {0xF2, U'\u222B'}, {0xF3, U'\u2320'}, {0xF4, U'\u23AE'}, {0xF5, U'\u2321'}, {0xF6, U'\u239E'},
        {0xF7, U'\u239F'}, {0xF8, U'\u23A0'}, {0xF9, U'\u23A4'}, {0xFA, U'\u23A5'}, {0xFB, U'\u23A6'},
        {0xFC, U'\u23AB'}, {0xFD, U'\u23AC'}, {0xFE, U'\u23AD'},
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

// Wingdings: the bullets, shapes, arrows, hands, check marks, numbers and
// signs that documents use, each as the nearest character common fonts have.
const CharacterTable& WingdingsTable() {
  static const CharacterTable table = [] {
    CharacterTable t = {
        {0x22, U'\u2702'}, {0x23, U'\u2701'}, {0x28, U'\u260E'}, {0x29, U'\u2706'}, {0x2A, U'\u2709'},
        {0x36, U'\u231B'}, {0x3E, U'\u2707'}, {0x3F, U'\u270D'}, {0x41, U'\u270C'}, {0x42, U'\U0001F44C'},
        {0x43, U'\U0001F44D'}, {0x44, U'\U0001F44E'}, {0x45, U'\u261C'}, {0x46, U'\u261E'}, {0x47, U'\u261D'},
        {0x48, U'\u261F'}, {0x4A, U'\u263A'}, {0x4B, U'\U0001F610'}, {0x4C, U'\u2639'}, {0x4D, U'\U0001F4A3'},
        {0x4E, U'\u2620'}, {0x51, U'\u2708'}, {0x52, U'\u263C'}, {0x54, U'\u2744'}, {0x56, U'\u271E'},
        {0x58, U'\u2720'}, {0x59, U'\u2721'}, {0x5A, U'\u262A'}, {0x5B, U'\u262F'}, {0x5C, U'\u0950'},
        {0x5D, U'\u2638'}, {0x6C, U'\u25CF'}, {0x6D, U'\u274D'}, {0x6E, U'\u25A0'}, {0x6F, U'\u25A1'},
        {0x71, U'\u2751'}, {0x72, U'\u2752'}, {0x73, U'\u2B27'}, {0x74, U'\u29EB'}, {0x75, U'\u25C6'},
        {0x76, U'\u2756'}, {0x77, U'\u2B25'}, {0x78, U'\u2327'}, {0x7A, U'\u2318'}, {0x7B, U'\u2740'},
        {0x7D, U'\u275D'}, {0x7E, U'\u275E'}, {0x80, U'\u24EA'}, {0x8B, U'\u24FF'}, {0x9E, U'\u00B7'},
        {0x9F, U'\u2022'}, {0xA0, U'\u25AA'}, {0xA1, U'\u25CB'}, {0xA4, U'\u25C9'}, {0xA5, U'\u25CE'},
        {0xA7, U'\u25AA'}, {0xA8, U'\u25FB'}, {0xAA, U'\u2726'}, {0xAB, U'\u2605'}, {0xAC, U'\u2736'},
        {0xAD, U'\u2734'}, {0xAE, U'\u2739'}, {0xAF, U'\u2735'}, {0xB1, U'\u2316'}, {0xB2, U'\u27E1'},
        {0xB3, U'\u2311'}, {0xB5, U'\u272A'}, {0xB6, U'\u2730'}, {0xD5, U'\u232B'}, {0xD6, U'\u2326'},
        {0xD8, U'\u27A2'}, {0xDF, U'\u2B05'}, {0xE0, U'\u27A1'}, {0xE1, U'\u2B06'}, {0xE2, U'\u2B07'},
        {0xE3, U'\u2B09'}, {0xE4, U'\u2B08'}, {0xE5, U'\u2B0B'}, {0xE6, U'\u2B0A'}, {0xE7, U'\u2B05'},
        {0xE8, U'\u2794'}, {0xE9, U'\u2B06'}, {0xEA, U'\u2B07'}, {0xEF, U'\u21E6'}, {0xF0, U'\u21E8'},
        {0xF1, U'\u21E7'}, {0xF2, U'\u21E9'}, {0xF3, U'\u2B04'}, {0xF4, U'\u21F3'}, {0xF5, U'\u2B00'},
        {0xF6, U'\u2B01'}, {0xF7, U'\u2B03'}, {0xF8, U'\u2B02'}, {0xFB, U'\u2717'}, {0xFC, U'\u2713'},
        {0xFD, U'\u2612'}, {0xFE, U'\u2611'},
    };
    for (int i = 0; i < 12; ++i) t[static_cast<unsigned char>(0x5E + i)] = U'\u2648' + i;  // the zodiac signs
    for (int i = 0; i < 10; ++i) {
      t[static_cast<unsigned char>(0x81 + i)] = U'\u2460' + i;  // ① to ⑩
      t[static_cast<unsigned char>(0x8C + i)] = U'\u2776' + i;  // ❶ to ❿
    }
    for (int i = 0; i < 12; ++i) t[static_cast<unsigned char>(0xB7 + i)] = U'\U0001F550' + i;  // clock faces
    return t;
  }();
  return table;
}

// Private-use characters met in fonts that are neither: the bullets of Word's
// and LibreOffice's lists, whose font went missing on the way.
const CharacterTable& ListBulletTable() {
  static const CharacterTable table = {
      {0xB7, U'\u2022'}, {0xA7, U'\u25AA'}, {0xD8, U'\u27A2'}, {0xFC, U'\u2713'}, {0x76, U'\u2756'},
      {0x6C, U'\u25CF'}, {0x6E, U'\u25A0'}, {0x71, U'\u2751'}, {0xE8, U'\u2794'},
  };
  return table;
}

const CharacterTable& TableOf(SymbolFont font) {
  return font == SymbolFont::kWingdings ? WingdingsTable() : SymbolTable();
}

bool SameName(std::string_view name, std::string_view expected) {
  if (name.size() != expected.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if ((name[i] | 0x20) != (expected[i] | 0x20)) return false;
  return true;
}

}  // namespace

SymbolFont SymbolFontOf(std::string_view name, int32_t charset) {
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  if (SameName(name, "Wingdings")) return SymbolFont::kWingdings;
  if (SameName(name, "Symbol") || charset == 2) return SymbolFont::kSymbol;
  return SymbolFont::kNone;
}

char32_t SymbolFontCharacter(SymbolFont font, unsigned char byte) {
  if (font == SymbolFont::kNone || byte <= 0x20) return byte;  // controls and the space are the same in every font
  const CharacterTable& table = TableOf(font);
  const auto found = table.find(byte);
  if (found != table.end()) return found->second;
  // Symbol draws its other ASCII bytes as themselves (digits, punctuation);
  // anything else stays the font's own private-use character.
  return font == SymbolFont::kSymbol && byte < 0x80 ? char32_t(byte) : 0xF000 + char32_t(byte);
}

char32_t DrawnCharacter(SymbolFont font, char32_t c) {
  if (c < 0xF020 || c > 0xF0FF) return c;
  const auto byte = static_cast<unsigned char>(c - 0xF000);
  if (font != SymbolFont::kNone) return SymbolFontCharacter(font, byte);
  const CharacterTable& bullets = ListBulletTable();
  const auto found = bullets.find(byte);
  return found == bullets.end() ? c : found->second;
}

}  // namespace rtf
