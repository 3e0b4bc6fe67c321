#include "jet/jet_value_decoding.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "runtime/date_time.h"
#include "jet/jet_error.h"
#include "runtime/variant.h"

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
      {"\xFF\xFE" "ab\0"s, u"ab"},                        // a switch as the last byte
      {"\xFF\xFE\0\0" "a\xF6"s, u"a\u00F6"},              // back to one-byte characters at once
      {"\xFF\xFE" "x\0\x41\x00\0y"s, u"x\u0041y"},        // two-byte run between one-byte runs
      {"\xFF\xFE"s, u""},
      // Runs longer than one widening block, with a remainder after it.
      {"\xFF\xFE" "abcdefgh\xE9\xFCklmnopq\x80\xFF"s, u"abcdefgh\u00E9\u00FCklmnopq\u0080\u00FF"},
      {"\xFF\xFE" "\0\x16\x04\0" "0123456789abcdefXYZ"s, u"\u04160123456789abcdefXYZ"},
  };
  // Two-byte text of more than one copying block.
  Row longText;
  for (int i = 0; i < 300; ++i) {
    longText.bytes += "\x16\x04"s;
    longText.text += u'\u0416';
  }
  std::vector<Row> all(std::begin(rows), std::end(rows));
  all.push_back(longText);
  for (const Row& r : all) {
    EXPECT_EQ(DecodeJet4Text(r.bytes), r.text);
    // The same bytes at an odd address, off every character boundary.
    std::string shifted = " " + r.bytes;
    EXPECT_EQ(DecodeJet4Text(std::string_view(shifted).substr(1)), r.text);
  }
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
  EXPECT_THROW(DecodeJetDecimal(tooBig, 0), EJetError);
}

TEST(JetValueDecoding, GuidText) {
  std::string b("\x33\x22\x11\x00\x55\x44\x77\x66\x88\x99\xAA\xBB\xCC\xDD\xEE\xFF", 16);
  EXPECT_EQ(DecodeJetGuid(b), u"{00112233-4455-6677-8899-AABBCCDDEEFF}");
}

TEST(JetValueDecoding, ExtendedDateTimeAsDateOrText) {
  const std::string tail = std::string(":7") + '\0';
  struct Row {
    std::string stored;
    Variant expected;
  } rows[] = {
      {"0000000000000693593:0000000216000000000", Variant::FromDate(0.25)},
      {"0000000000000693594:0000000000005000000", Variant::FromDate(1.0 + 0.5 / 86400)},
      {"0000000000000693592:0000000216000000000", Variant::FromDate(-1.25)},  // before 1899-12-30
      {"0000000000000036159:0000000000000000000", Variant::FromDate(EncodeDate(100, 1, 1))},
      {"0000000000000036158:0000000863990000001", Variant(u"0099-12-31 23:59:59.0000001")},
      {"0000000000000000000:0000000000000000000", Variant(u"0001-01-01 00:00:00.0000000")},
  };
  for (const Row& r : rows) {
    Variant v = DecodeJetExtendedDateTime(r.stored + tail);
    ASSERT_EQ(v.Type(), r.expected.Type()) << r.stored;
    if (v.Type() == VarType::Date) EXPECT_NEAR(v.AsDate(), r.expected.AsDate(), 1e-10) << r.stored;
    else EXPECT_EQ(v, r.expected) << r.stored;
  }
  for (const std::string& bad : {std::string("0000000000000693593:000000021600000000"),   // short
                                std::string("0000000000000693593-0000000216000000000"),  // no colon
                                std::string("00000000000006935x3:0000000216000000000"),
                                std::string("0000000000003652059:0000000000000000000"),  // year 10000
                                std::string("0000000000000693593:0000086400000000000")}) {  // a whole day of seconds
    EXPECT_THROW(DecodeJetExtendedDateTime(bad), EJetError) << bad;
  }
}

TEST(JetValueDecoding, CalculatedValueBehindItsHeaderAndLength) {
  using namespace std::string_literals;
  const std::string header(16, '\x5A');
  EXPECT_EQ(UnwrapCalculatedValue(header + "\x03\0\0\0abc\0\0\0"s), "abc");
  EXPECT_EQ(UnwrapCalculatedValue(header + "\0\0\0\0"s), "");
  EXPECT_THROW(UnwrapCalculatedValue(header + "\xFF\0\0\0ab"s), EJetError);  // a length beyond the cell, never cut
  EXPECT_THROW(UnwrapCalculatedValue(header + "\x01\0\0"s), EJetError);
}

// A calculated Decimal in its own 16-byte layout; the scale is the value's.
TEST(JetValueDecoding, CalculatedDecimal) {
  using namespace std::string_literals;
  struct Row {
    std::string stored;
    const char16_t* text;  // as DAO prints it, trailing zeros dropped; nullptr: damage
    int scale;
  } rows[] = {
      {"\x0e\0\x0a\0\0\0\0\0\xec\x04\xb0\x1f\xe7\xae\0\0"s, u"19230.7692307692", 10},
      {"\x0e\0\x12\0\x58\xe9\x93\xb6\x74\x4d\xea\xc8\xf7\xaa\x52\x18"s, u"56505085819.42479129657228018", 18},
      {"\0\0\x06\x80\0\0\0\0\xf8\xb4\x28\x02\0\0\0\0"s, u"-36.2222", 6},
      {"\x0e\0\x08\0"s + std::string(12, '\0'), u"0", 8},
      {"\0\0\x1d\0"s + std::string(12, '\0'), nullptr, 0},  // scale 29
      {std::string(15, '\0'), nullptr, 0},
  };
  for (const Row& r : rows) {
    if (!r.text) {
      EXPECT_THROW(DecodeJetCalculatedDecimal(r.stored), EJetError);
      continue;
    }
    const Decimal d = DecodeJetCalculatedDecimal(r.stored);
    EXPECT_EQ(DecimalToStr(d, u'.'), r.text);
    EXPECT_EQ(d.scale, r.scale);
  }
}

// A type number this reader does not know gives its stored bytes; a complex
// column its key.
TEST(JetValueDecoding, UnknownKindsAsTheirBytes) {
  using namespace std::string_literals;
  JetTableDefinition::Column c;
  c.name = u"X";
  const struct {
    int type;
    std::string stored;
    Variant expected;
  } rows[] = {
      {0x46, "\xFF\xFEsomedata"s, Variant(Variant::Bytes{0xFF, 0xFE, 's', 'o', 'm', 'e', 'd', 'a', 't', 'a'})},
      {0x47, "\x37\0\0\0"s, Variant(Variant::Bytes{0x37, 0, 0, 0})},
      {0x48, ""s, Variant(Variant::Bytes{})},
      {kJetComplex, "\x01\x02\0\0"s, Variant(int32_t(0x201))},
  };
  for (const auto& r : rows) {
    c.type = c.resultType = r.type;
    EXPECT_EQ(DecodeJetValue(c, r.stored, 0), r.expected) << r.type;
  }
}
