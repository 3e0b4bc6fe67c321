#include "jet/jet_property_blob.h"

#include <gtest/gtest.h>

#include "jet/jet_error.h"

namespace {

using namespace std::string_literals;

std::string U16(uint32_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string U32(uint32_t v) { return U16(v & 0xFFFF) + U16(v >> 16); }
std::string Chunk(uint16_t kind, const std::string& body) { return U32(static_cast<uint32_t>(6 + body.size())) + U16(kind) + body; }
std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) out += std::string{c, '\0'};
  return out;
}
std::string Names(const std::vector<std::string>& names) {
  std::string body;
  for (const std::string& n : names) body += U16(static_cast<uint32_t>(2 * n.size())) + Utf16(n);
  return Chunk(0x80, body);
}
std::string Block(uint16_t kind, const std::string& column, const std::string& records) {
  const std::string name = Utf16(column);
  return Chunk(kind, U32(static_cast<uint32_t>(6 + name.size())) + U16(static_cast<uint32_t>(name.size())) + name + records);
}
std::string Record(uint16_t nameIndex, const std::string& value) {
  return U16(static_cast<uint32_t>(8 + value.size())) + "\x01\x02"s + U16(nameIndex) +
         U16(static_cast<uint32_t>(value.size())) + value;
}

// A blob as Access lays it out: names first, blocks in any order, chunks of
// other kinds passed over; values found by column and property name.
TEST(JetPropertyBlob, FindsColumnAndObjectProperties) {
  const std::string blob = "MR2\0"s + Names({"ResultType", "Expression"}) +
                           Block(0x01, "Total", Record(0, "\x05") + Record(1, Utf16("[A]*2"))) +
                           Chunk(0x42, "ignored") + Block(0x00, "", Record(0, "\x01"));
  const JetPropertyBlob p(blob, 0, u"T");
  ASSERT_NE(p.Find(u"total", u"resulttype"), nullptr);
  EXPECT_EQ(*p.Find(u"Total", u"ResultType"), "\x05");
  EXPECT_EQ(*p.Find(u"Total", u"Expression"), Utf16("[A]*2"));
  EXPECT_EQ(*p.Find(u"", u"ResultType"), "\x01");
  EXPECT_EQ(p.Find(u"Other", u"ResultType"), nullptr);
  EXPECT_EQ(p.Find(u"Total", u"Format"), nullptr);
}

TEST(JetPropertyBlob, DamageRaises) {
  const std::string names = Names({"ResultType"});
  const std::string good = Block(0x01, "C", Record(0, "\x05"));
  const struct {
    const char* name;
    std::string blob;
  } cases[] = {
      {"no signature", "XYZ\0"s + names + good},
      {"too short for a signature", "MR"s},
      {"a chunk beyond the bytes", "MR2\0"s + names + good.substr(0, good.size() - 1)},
      {"a chunk shorter than its header", "MR2\0"s + U32(3) + U16(0x80)},
      {"a name beyond its chunk", "MR2\0"s + Chunk(0x80, U16(40) + "ab")},
      {"a record naming no listed property", "MR2\0"s + names + Block(0x01, "C", Record(1, "\x05"))},
      {"a record before any names", "MR2\0"s + good + names},
      {"a value beyond its record", "MR2\0"s + names + Block(0x01, "C", U16(8) + "\x01\x02"s + U16(0) + U16(4))},
      {"a block header beyond its chunk", "MR2\0"s + names + Chunk(0x01, U32(200) + U16(2) + "C\0"s)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      JetPropertyBlob(c.blob, 0, u"Sales");
      ADD_FAILURE() << "no error";
    } catch (const EJetError& e) {
      EXPECT_EQ(e.Message(), u"The properties of table 'Sales' are damaged.");
    }
  }
}

}  // namespace
