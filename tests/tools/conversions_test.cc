// The writer's conversions, each against values fixed by the file format.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <stdexcept>

#include "tools/accessdb/date_time.h"
#include "tools/accessdb/decimal_value.h"
#include "tools/accessdb/guid_value.h"
#include "tools/accessdb/json_tables.h"
#include "tools/accessdb/outline_database.h"
#include "tools/accessdb/text_codec.h"

namespace accessdb_test {
namespace {

using accessdb::ParseDateTime;

TEST(DateTimeTest, CivilDatesBecomeAccessDaysAndBack) {
  struct Case {
    const char* iso;
    double days;
  };
  const Case cases[] = {
      {"1899-12-30T00:00:00", 0.0},      {"1899-12-31T12:00:00", 1.5},
      {"1900-01-01T00:00:00", 2.0},      {"1899-12-29T06:00:00", -1.25},  // negative day, positive time
      {"1899-12-29T00:00:00", -1.0},     {"1800-01-01T18:00:00", -36522.75},
      {"0100-01-01T00:00:00", -657434.0}, {"9999-12-31T00:00:00", 2958465.0},
      {"2000-02-29T06:00:00", 36585.25}, {"1970-01-01T00:00:00", 25569.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.iso);
    EXPECT_EQ(ParseDateTime(c.iso), c.days);
    EXPECT_EQ(accessdb::FormatDateTime(accessdb::FromAccessDays(c.days)), c.iso);
  }
  EXPECT_EQ(accessdb::FormatDateTime(accessdb::FromAccessDays(ParseDateTime("9999-12-31T23:59:59"))),
            "9999-12-31T23:59:59");
  EXPECT_EQ(accessdb::FormatDateTime(accessdb::FromAccessDays(ParseDateTime("0100-01-01T23:59:59"))),
            "0100-01-01T23:59:59");
  // Milliseconds, away from zero before 1899-12-30 like the time of day.
  EXPECT_DOUBLE_EQ(ParseDateTime("1899-12-31T12:00:00.5"), 1.5 + 0.5 / 86400);
  EXPECT_DOUBLE_EQ(ParseDateTime("1899-12-29T06:00:00.25"), -1.25 - 0.25 / 86400);
  // Access's own value for this instant (complexDataTestV2010.accdb's version history).
  EXPECT_NEAR(ParseDateTime("2011-09-12T21:21:02.334"), 40798.88961034722, 1e-11);
}

TEST(DateTimeTest, MalformedOrOutOfRangeDatesAreRefused) {
  for (const char* bad : {"", "1999-12-31", "1999-12-31 00:00:00", "99-12-31T00:00:00", "0099-12-31T23:59:59",
                          "10000-01-01T00:00:00", "1999-02-29T00:00:00", "1999-13-01T00:00:00",
                          "1999-12-31T24:00:00", "1999-12-31T23:60:00", "1999-12-31T23:59:60",
                          "1999-12-31T23:59:5x", "1999-12-31T23:59:59.", "1999-12-31T23:59:59.1234",
                          "1999-12-31T23:59:59,5"}) {
    EXPECT_THROW(ParseDateTime(bad), std::invalid_argument) << bad;
  }
}

TEST(DateTimeTest, ExtendedDateTimesAreAsciiDaysSecondsAndSteps) {
  struct Case {
    const char* iso;
    const char* stored;  // the first 39 bytes; ":7" and a zero byte follow
  };
  const Case cases[] = {
      {"0001-01-01T00:00:00", "0000000000000000000:0000000000000000000"},
      {"0001-01-02T00:00:01.5", "0000000000000000001:0000000000015000000"},
      {"1899-12-30T06:00:00", "0000000000000693593:0000000216000000000"},
      {"9999-12-31T23:59:59.9999999", "0000000000003652058:0000000863999999999"},
  };
  for (const Case& c : cases) {
    const std::string stored = accessdb::EncodeExtendedDateTime(c.iso);
    EXPECT_EQ(stored, std::string(c.stored) + ":7" + std::string(1, '\0')) << c.iso;
  }
  for (const char* bad : {"0000-12-31T00:00:00", "2021-02-29T00:00:00", "2021-01-01T00:00:00.", "2021-01-01T00:00:00.12345678",
                          "2021-01-01T24:00:00", "2021-01-01"}) {
    EXPECT_THROW(accessdb::EncodeExtendedDateTime(bad), std::invalid_argument) << bad;
  }
}

std::string LowerHex(const std::string& s) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) out += std::string{kDigits[c >> 4], kDigits[c & 15]};
  return out;
}

TEST(DecimalTest, SignAndMagnitudeScaledByTheColumn) {
  struct Case {
    const char* text;
    int precision, scale;
    const char* hex;  // sign byte, then four little-endian 32-bit groups, most significant first
  };
  const Case cases[] = {
      {"1", 18, 0, "00" "00000000" "00000000" "00000000" "01000000"},
      {"1", 18, 6, "00" "00000000" "00000000" "00000000" "40420f00"},
      {"-50.325", 18, 6, "80" "00000000" "00000000" "00000000" "08e6ff02"},
      {"-0", 10, 2, "00" "00000000" "00000000" "00000000" "00000000"},
      {"9999999999999999999999999999", 28, 0, "00" "00000000" "5ece4f20" "6102253e" "ffffff0f"},
      {"12", 10, 2, "00" "00000000" "00000000" "00000000" "b0040000"},
  };
  for (const Case& c : cases) EXPECT_EQ(LowerHex(accessdb::EncodeDecimal(c.text, c.precision, c.scale)), c.hex) << c.text;
  for (const char* bad : {"", "-", "1.234", "12345678901", "1e3", "1,5", ". "}) {
    EXPECT_THROW(accessdb::EncodeDecimal(bad, 10, 2), std::invalid_argument) << bad;
  }
}

// A calculated Decimal result: the scale as written, the magnitude up to 96
// bits. The first rows are values of calcFieldTestV2010.accdb with the bytes
// Access stored for them.
TEST(DecimalTest, CalculatedResultsAreWindowsDecimals) {
  struct Case {
    const char* text;
    const char* hex;  // 14, scale, sign, high 32 bits, low 64 bits (little-endian)
  };
  const Case cases[] = {
      {"19230.7692307692", "0e000a00" "00000000" "ec04b01fe7ae0000"},
      {"-0.0192307692307692", "0e001080" "00000000" "ec04b01fe7ae0000"},
      {"0", "0e000000" "00000000" "0000000000000000"},
      {"56505085819.424791296572280180", "0e001200" "58e993b6" "744deac8f7aa5218"},
      {"-0.0784734499180612994241100748", "0e001c80" "fe1d8902" "cc7b3b5ad09f1971"},
      {"0.00000000", "0e000800" "00000000" "0000000000000000"},
      {"-0.00", "0e000200" "00000000" "0000000000000000"},
      {"79228162514264337593543950335", "0e000000" "ffffffff" "ffffffffffffffff"},  // 2^96 - 1
  };
  for (const Case& c : cases) EXPECT_EQ(LowerHex(accessdb::EncodeCalculatedDecimal(c.text)), c.hex) << c.text;
  for (const char* bad : {"79228162514264337593543950336", "0.00000000000000000000000000001", "", "1e3", "--1"}) {
    EXPECT_THROW(accessdb::EncodeCalculatedDecimal(bad), std::invalid_argument) << bad;
  }
}

TEST(GuidTest, FirstThreeGroupsAreLittleEndian) {
  EXPECT_EQ(LowerHex(accessdb::EncodeGuid("{6B29FC40-CA47-1067-B31D-00DD010662DA}")), "40fc296b47ca6710b31d00dd010662da");
  EXPECT_EQ(LowerHex(accessdb::EncodeGuid("{6b29fc40-ca47-1067-b31d-00dd010662da}")), "40fc296b47ca6710b31d00dd010662da");
  for (const char* bad : {"6B29FC40-CA47-1067-B31D-00DD010662DA", "{6B29FC40-CA47-1067-B31D-00DD010662D}",
                          "{6B29FC40-CA47-1067-B31D00-DD010662DA}", "{6B29FC40-CA47-1067-B31D-00DD010662DG}", ""}) {
    EXPECT_THROW(accessdb::EncodeGuid(bad), std::invalid_argument) << bad;
  }
}

std::string Hex(const accessdb::Bytes& b) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::uint8_t c : b) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

TEST(TextCodecTest, Jet4TextChoosesItsStoredForm) {
  struct Case {
    std::u16string text;
    bool compress;
    const char* stored;
  };
  const Case cases[] = {
      {u"", true, ""},
      {u"Abc", true, "fffe416263"},
      {u"Ab", true, "41006200"},  // compressed is no shorter
      {u"Abc", false, "410062006300"},
      {u"abcd\u20ac", true, "fffe6162636400ac20"},  // a two-byte run for the euro sign
      {u"\u00e9\u20ac", true, "e900ac20"},           // compressed would be longer
      {u"\u20ac\u20acA", true, "ac20ac204100"},  // mostly wide: not worth compressing
      {u"A\u0100", true, "41000001"},            // low byte 0: never compressed
      {u"\ufeffA", false, "fffe00fffe0041"},     // leading U+FEFF: always compressed
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(accessdb::EncodeJet4Text(c.text, c.compress)), c.stored);
  }
  EXPECT_THROW(accessdb::EncodeJet4Text(u"\ufeff\u0100", true), std::invalid_argument);
}

TEST(TextCodecTest, CodePagesConvertOrRefuse) {
  const accessdb::CodePageEncoder cp1252(1252), cp1251(1251), cp932(932);
  EXPECT_EQ(cp1252.Encode("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
  EXPECT_EQ(cp1251.Encode("\xD0\x96"), "\xC6");
  EXPECT_EQ(cp932.Encode("\xE6\x97\xA5"), "\x93\xFA");
  EXPECT_THROW(cp1252.Encode("\xD0\x96"), std::invalid_argument);
  EXPECT_THROW(accessdb::CodePageEncoder(99999), std::invalid_argument);
  EXPECT_THROW(accessdb::Utf8ToUtf16("\xC3"), std::invalid_argument);
}

TEST(JsonValuesTest, CurrencyTextIsExact) {
  struct Case {
    const char* text;
    std::int64_t scaled;
  };
  const Case cases[] = {
      {"0", 0}, {"1", 10000}, {"-1.5", -15000}, {"+0.0001", 1}, {"12.34560", 123456},
      {"922337203685477.5807", std::numeric_limits<std::int64_t>::max()},
      {"-922337203685477.5808", std::numeric_limits<std::int64_t>::min()},
  };
  for (const Case& c : cases) EXPECT_EQ(accessdb::ParseCurrency(c.text), c.scaled) << c.text;
  for (const char* bad : {"", "-", "1.23456", "922337203685477.5808", "1e3", "1.2.3", " 1"}) {
    EXPECT_THROW(accessdb::ParseCurrency(bad), std::invalid_argument) << bad;
  }
}

TEST(JsonValuesTest, Base64Decodes) {
  EXPECT_EQ(accessdb::DecodeBase64(""), "");
  EXPECT_EQ(accessdb::DecodeBase64("AA=="), std::string(1, '\0'));
  EXPECT_EQ(accessdb::DecodeBase64("aGVsbG8="), "hello");
  EXPECT_EQ(accessdb::DecodeBase64("aGVsbG8"), "hello");
  EXPECT_EQ(accessdb::DecodeBase64("/+8="), "\xFF\xEF");
  for (const char* bad : {"a", "a===", "aGV*", "aG=Vs"}) {
    EXPECT_THROW(accessdb::DecodeBase64(bad), std::invalid_argument) << bad;
  }
}

TEST(OutlineTextTest, EntriesCountBytesInTheCodePage) {
  const accessdb::CodePageEncoder cp1252(1252), cp932(932);
  std::vector<accessdb::OutlineNode> nodes = {
      {"Root", "A1", "First", std::nullopt}, {"A1", "B2", "Two", std::nullopt},
      {"B2", "C3", "Thr\xC3\xA9\xC3\xA9", std::nullopt}};
  EXPECT_EQ(accessdb::BuildOutlineText(nodes, cp1252),
            "04Root02A1005First000000000" "02A102B2003Two000000000"
            "02B202C3005Thr\xC3\xA9\xC3\xA9" "000000000");
  nodes = {{"Root", "K", "\xE6\x97\xA5\xE6\x9C\xAC", std::nullopt}};  // two double-byte characters
  EXPECT_EQ(accessdb::BuildOutlineText(nodes, cp932), "04Root01K004\xE6\x97\xA5\xE6\x9C\xAC" "000000000");
  nodes = {{"Root", std::string(100, 'k'), "t", std::nullopt}};
  EXPECT_THROW(accessdb::BuildOutlineText(nodes, cp1252), std::invalid_argument);
  nodes = {{"Root", "k", std::string(1000, 't'), std::nullopt}};
  EXPECT_THROW(accessdb::BuildOutlineText(nodes, cp1252), std::invalid_argument);
}

TEST(OutlineTextTest, GeneratedTreesAreDeterministicAndWellFormed) {
  accessdb::GeneratorOptions g;
  g.nodes = 500;
  g.depth = 4;
  g.content_bytes = 300;
  g.seed = 9;
  const auto a = accessdb::GenerateOutline(g, 1252);
  const auto b = accessdb::GenerateOutline(g, 1252);
  ASSERT_EQ(a.size(), 500u);
  std::map<std::string, int> level;
  int deepest = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].key, b[i].key);
    EXPECT_EQ(a[i].title, b[i].title);
    EXPECT_EQ(a[i].content, b[i].content);
    ASSERT_TRUE(a[i].content.has_value());
    EXPECT_EQ(a[i].content->size(), 300u);
    // Every parent comes before its children; depth stays within the limit.
    ASSERT_TRUE(a[i].parent == "Root" || level.count(a[i].parent)) << a[i].parent;
    level[a[i].key] = a[i].parent == "Root" ? 0 : level[a[i].parent] + 1;
    deepest = std::max(deepest, level[a[i].key]);
  }
  EXPECT_EQ(deepest, 3);
  g.seed = 10;
  EXPECT_NE(accessdb::GenerateOutline(g, 1252)[5].title, a[5].title);
  // Non-ASCII words appear only where the code page has them.
  const auto ascii = accessdb::GenerateOutline(g, 437);
  for (const auto& n : ascii) EXPECT_TRUE(accessdb::CodePageEncoder(437).CanEncode(n.title));
}

}  // namespace
}  // namespace accessdb_test
