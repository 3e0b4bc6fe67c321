#include "jet/jet_data_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The flags of a row's offset entry: what a scan does with the row and
// whether it holds an overflow pointer. Both formats lay out the offsets the
// same way after their own row-count offset.
TEST(JetDataPage, RowFlagsTellWhatAScanReads) {
  struct Case {
    const char* name;
    uint16_t flags;
    bool skipped;
    bool pointer;
  };
  const Case cases[] = {
      {"a plain row", 0x0000, false, false},
      {"an overflow pointer, read through", 0x4000, false, true},
      {"the row a pointer leads to", 0x8000, true, false},
      {"a deleted row", 0xC000, true, true},
  };
  for (const JetFormat* format : {&kJet3Format, &kJet4Format}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      std::string page(static_cast<size_t>(format->pageSize), '\0');
      page[0] = static_cast<char>(kJetDataPage);
      page[static_cast<size_t>(format->rowCountOffset)] = 2;
      const unsigned offsets[] = {static_cast<unsigned>(format->pageSize - 8),
                                  static_cast<unsigned>(format->pageSize - 12) | c.flags};
      for (int row = 0; row < 2; ++row) {
        page[static_cast<size_t>(format->rowCountOffset + 2 + 2 * row)] = static_cast<char>(offsets[row]);
        page[static_cast<size_t>(format->rowCountOffset + 3 + 2 * row)] = static_cast<char>(offsets[row] >> 8);
      }
      const JetDataPage view(*format, page);
      EXPECT_EQ(view.SkippedInScan(1), c.skipped);
      EXPECT_FALSE(view.SkippedInScan(0));
      EXPECT_FALSE(view.SkippedInScan(2));  // no such row
      const std::optional<JetDataPage::Row> row = view.FindRow(1);
      ASSERT_TRUE(row.has_value());
      EXPECT_EQ(row->overflowPointer, c.pointer);
      EXPECT_EQ(row->start, format->pageSize - 12);
      EXPECT_EQ(row->end, format->pageSize - 8);
      EXPECT_FALSE(view.FindRow(2).has_value());
    }
  }
}

}  // namespace
