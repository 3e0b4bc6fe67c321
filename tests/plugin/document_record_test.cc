#include "plugin/document_record.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/plugin/host_records.h"

namespace {

using host_records::Allocate;
using host_records::Document;

constexpr size_t kMaxTitleBytes = kDocumentTitleRoom - 1;  // 12,703

TEST(DocumentRecordLayout, ContentPointerSitsRightAfterTheTitleRoom) {
  EXPECT_EQ(kDocumentTitleOffset + kDocumentTitleRoom, 0x31A4);
  EXPECT_EQ(kDocumentTitleRoom, 12704);
  EXPECT_EQ(ARVOLINE_DOCUMENT_RECORD_SIZE, sizeof(void*) == 8 ? 0x31ACu : 0x31A8u);
}

TEST(DocumentRecord, TitlesThatDoNotFitAreCutAtACharacterBoundary) {
  const std::string a(kMaxTitleBytes, 'a');
  struct Case {
    const char* name;
    std::string title;
    std::string written;
  } cases[] = {
      {"exactly fits", a, a},
      {"one byte too long", a + "b", a},
      {"far too long", a + std::string(50000, 'b'), a},
      {"two-byte character across the limit", a.substr(1) + "\xC3\x9C", a.substr(1)},
      {"two-byte character ending at the limit", a.substr(2) + "\xC3\x9C" + "x", a.substr(2) + "\xC3\x9C"},
      {"three-byte character across the limit", a.substr(1) + "\xE2\x82\xAC", a.substr(1)},
      {"three-byte character, two bytes over", a.substr(2) + "\xE2\x82\xAC", a.substr(2)},
      {"four-byte character across the limit", a.substr(3) + "\xF0\x9F\x98\x80", a.substr(3)},
      {"only multi-byte characters", [] { std::string s; for (int i = 0; i < 5000; ++i) s += "\xE2\x82\xAC"; return s; }(),
       [] { std::string s; for (int i = 0; i < 4234; ++i) s += "\xE2\x82\xAC"; return s; }()},
  };
  for (const Case& c : cases) {
    Document document;
    DocumentRecord(document.record).WriteTitle(c.title);
    EXPECT_EQ(document.Title(), c.written) << c.name;
    EXPECT_EQ(document.record[kDocumentTitleOffset + c.written.size()], 0) << c.name;
    for (size_t i = kDocumentContentPointerOffset; i < sizeof document.record; ++i)
      ASSERT_EQ(document.record[i], 0xFF) << c.name << ": content pointer field written";
    EXPECT_EQ(document.record[kDocumentLevelOffset], 0xFF) << c.name;
  }
}

TEST(DocumentRecord, ShortTitlesLeaveTheRestOfTheFieldAlone) {
  Document document;
  DocumentRecord(document.record).WriteTitle("Hi");
  EXPECT_EQ(document.record[4], 'H');
  EXPECT_EQ(document.record[6], 0);
  EXPECT_EQ(document.record[7], 0xFF);
}

TEST(DocumentRecord, LevelIsALittleEndianSignedInteger) {
  for (int32_t level : {0, 1, 258, -1, INT32_MAX}) {
    Document document;
    DocumentRecord(document.record).WriteLevel(level);
    const uint32_t u = static_cast<uint32_t>(level);
    const unsigned char expected[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                                       static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
    EXPECT_EQ(0, std::memcmp(document.record, expected, 4)) << level;
    EXPECT_EQ(document.record[4], 0xFF);
  }
}

TEST(DocumentRecord, ContentGoesIntoTheBufferTheHostStoredDuringTheCall) {
  Document document;
  DocumentRecord(document.record).DeliverContent("abc", Allocate);
  EXPECT_EQ(document.allocatorCalls, (std::vector<std::vector<int32_t>>{{1, 3}}));
  EXPECT_EQ(document.buffer, (std::vector<unsigned char>{'a', 'b', 'c', 0}));

  // Zero inside: the host is told the whole length, the copy stops at the zero.
  Document zero;
  DocumentRecord(zero.record).DeliverContent(std::string("ab\0cd", 5), Allocate);
  EXPECT_EQ(zero.allocatorCalls, (std::vector<std::vector<int32_t>>{{1, 5}}));
  EXPECT_EQ(zero.buffer, (std::vector<unsigned char>{'a', 'b', 0, 0xEE, 0xEE, 0xEE}));
}

}  // namespace
