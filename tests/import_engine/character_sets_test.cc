#include "import_engine/character_sets.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "runtime/utf8.h"

namespace {

TEST(CharacterSets, MsDosTextReadAsAnsiGetsItsOemCharactersBack) {
  struct Row {
    int32_t ansiCodePage;
    const char16_t* asReadAsAnsi;
    const char16_t* oemText;
  } rows[] = {
      // 437: 0x82 is e acute, 0xC4 a box-drawing line.
      {1252, u"\u201A", u"\u00E9"},
      {1252, u"\u00C4\u00C4", u"\u2500\u2500"},
      {1252, u"plain ASCII 123", u"plain ASCII 123"},
      {1252, u"", u""},
      // 866: 0x8F is Cyrillic Pe, 0xA0 Cyrillic a, 0xE0 Cyrillic er.
      {1251, u"\u040F\u00A0", u"\u041F\u0430"},
      {1251, u"\u0430", u"\u0440"},
      {1251, u"abc", u"abc"},
  };
  for (const Row& r : rows) {
    ScopedActiveCodePage codePage(r.ansiCodePage);
    EXPECT_EQ(ConvertCharacterSet(r.asReadAsAnsi, csiASCII_MSDOS), r.oemText)
        << r.ansiCodePage << " " << ToUtf8(r.asReadAsAnsi);
  }
}

TEST(CharacterSets, EbcdicTable) {
  struct Row {
    int code;
    int ebcdic;
  } rows[] = {
      {0, 0},     {9, 9},     {10, 10},   {31, 31},   {32, 64},   {'.', 75},  {'!', 90},  {'$', 91},
      {'0', 240}, {'9', 249}, {'@', 124}, {'A', 193}, {'I', 201}, {'J', 209}, {'R', 217}, {'S', 226},
      {'Z', 233}, {'[', 186}, {']', 187}, {'a', 129}, {'j', 145}, {'s', 162}, {'z', 169}, {'{', 192},
      {'|', 79},  {'}', 208}, {'~', 161}, {127, 75},  {128, 75},  {200, 75},  {255, 75},
  };
  for (const Row& r : rows) EXPECT_EQ(AsciiToEbcdic(static_cast<uint8_t>(r.code)), r.ebcdic) << r.code;

  // Printable ASCII maps one to one: no two characters share a code.
  bool seen[256] = {};
  for (int c = 32; c < 127; ++c) {
    const uint8_t e = AsciiToEbcdic(static_cast<uint8_t>(c));
    EXPECT_FALSE(seen[e]) << c;
    seen[e] = true;
  }

  EXPECT_EQ(ConvertCharacterSet(u"A 0\n\u00E9\u20AC", csiEBCDIC), (UnicodeString{193, 64, 240, 10, 75, 75}));
}

TEST(CharacterSets, OnlyTextValuesAreConverted) {
  ScopedActiveCodePage codePage(1252);
  Variant text(u"\u201A");
  ConvertCharacterSet(text, csiASCII_MSDOS);
  EXPECT_EQ(text, Variant(u"\u00E9"));

  Variant ansi(u"\u201A");
  ConvertCharacterSet(ansi, csiANSI_WINDOWS);
  EXPECT_EQ(ansi, Variant(u"\u201A"));

  for (Variant value : {Variant(int32_t{1}), Variant::Null(), Variant(), Variant(true), Variant(2.5)}) {
    const Variant before = value;
    ConvertCharacterSet(value, csiEBCDIC);
    EXPECT_EQ(value, before);
  }
}

}  // namespace
