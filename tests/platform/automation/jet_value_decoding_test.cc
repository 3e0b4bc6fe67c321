#include "platform/automation/jet_value_decoding.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "runtime/variant.h"

TEST(JetValueDecoding, TypeCodesAndSizesAsDaoReportsThem) {
  struct Row {
    int jetType;
    int storedSize;
    bool jet3;
    int daoType;
    int32_t daoSize;
  } rows[] = {
      {kJetBoolean, 1, false, 1, 1},   {kJetByte, 1, false, 2, 1},     {kJetInteger, 2, false, 3, 2},
      {kJetLong, 4, false, 4, 4},      {kJetCurrency, 8, false, 5, 8}, {kJetSingle, 4, false, 6, 4},
      {kJetDouble, 8, false, 7, 8},    {kJetDateTime, 8, false, 8, 8}, {kJetBinary, 10, false, 9, 10},
      {kJetText, 100, false, 10, 50},  {kJetText, 50, true, 10, 50},   {kJetOle, 0, false, 11, 0},
      {kJetMemo, 0, false, 12, 0},     {kJetGuid, 16, false, 15, 16},  {kJetBigInt, 8, false, 16, 8},
      {kJetNumeric, 17, false, 20, 16}, {kJetComplex, 4, false, 0, 4},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DaoFieldType(r.jetType), r.daoType) << r.jetType;
    EXPECT_EQ(DaoFieldSize(r.jetType, r.storedSize, r.jet3), r.daoSize) << r.jetType;
  }
}

TEST(JetValueDecoding, Jet4TextPlainAndCompressed) {
  using namespace std::string_literals;
  struct Row {
    std::string bytes;
    UnicodeString text;
  } rows[] = {
      {""s, u""},
      {"A\0\x16\x04"s, u"A\u0416"},
      {"\xFF\xFE" "abc"s, u"abc"},
      // 0x00 switches to two-byte characters and back.
      {"\xFF\xFE" "a\0\x16\x04\x3D\xD8\x01\xDE\0b"s, u"a\u0416\U0001F601b"},
      {"\xFF\xFE\xE9"s, u"\u00E9"},
      {"\xFF\xFE" "a\0\x16"s, u"a"},  // a dangling half character is dropped
      {"A\0B"s, u"A"},
  };
  for (const Row& r : rows) EXPECT_EQ(DecodeJet4Text(r.bytes), r.text);
}

TEST(JetValueDecoding, Jet3TextUsesTheFilesCodePage) {
  EXPECT_EQ(DecodeJet3Text("\xC6\xE0", 1251), u"\u0416\u0430");
  EXPECT_EQ(DecodeJet3Text("\xC6\xE0", 1252), u"\u00C6\u00E0");
}

TEST(JetValueDecoding, DecimalFromFourGroupsMostSignificantFirst) {
  using namespace std::string_literals;
  // 123456789012 = 0x1C_BE991A14 at scale 4 -> 12345678.9012, negative.
  std::string b = "\x80"s + "\0\0\0\0"s + "\0\0\0\0"s + "\x1C\0\0\0"s + "\x14\x1A\x99\xBE"s;
  Decimal d = DecodeJetDecimal(b, 4);
  EXPECT_TRUE(d.negative);
  EXPECT_EQ(d.scale, 4);
  EXPECT_EQ(d.hi32, 0u);
  EXPECT_EQ(d.lo64, 123456789012ull);
  EXPECT_EQ(DecimalToStr(d, u'.'), u"-12345678.9012");

  std::string big = "\0"s + "\0\0\0\0"s + "\x01\0\0\0"s + "\0\0\0\0"s + "\0\0\0\0"s;
  EXPECT_EQ(DecodeJetDecimal(big, 0).hi32, 1u);
  std::string tooBig = "\0"s + "\x01\0\0\0"s + std::string(12, '\0');
  EXPECT_THROW(DecodeJetDecimal(tooBig, 0), EOleError);
}

TEST(JetValueDecoding, GuidText) {
  std::string b("\x33\x22\x11\x00\x55\x44\x77\x66\x88\x99\xAA\xBB\xCC\xDD\xEE\xFF", 16);
  EXPECT_EQ(DecodeJetGuid(b), u"{00112233-4455-6677-8899-AABBCCDDEEFF}");
}
