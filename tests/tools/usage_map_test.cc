// The usage maps of a written file, read straight from its pages: a table's
// map lists exactly its own data pages (a reader that checks page owners
// refuses anything else), and each memo/OLE column's map lists exactly its
// long-value pages.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include "tests/tools/test_support.h"
#include "tools/accessdb/database_writer.h"

namespace accessdb_test {
namespace {

using accessdb::ColumnType;
using accessdb::Format;
using accessdb::Value;

// An independent, minimal reading of the page structures (not the writer's code).
class PageReader {
 public:
  PageReader(const std::string& path, Format format)
      : jet4_(format == Format::kJet4), page_size_(jet4_ ? 4096 : 2048) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    file_.resize(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(&file_[0], static_cast<std::streamsize>(file_.size()));
  }
  std::uint32_t pages() const { return static_cast<std::uint32_t>(file_.size() / page_size_); }
  const std::uint8_t* page(std::uint32_t n) const {
    return reinterpret_cast<const std::uint8_t*>(file_.data()) + static_cast<size_t>(n) * page_size_;
  }
  static std::uint32_t U16(const std::uint8_t* p) { return p[0] | p[1] << 8; }
  static std::uint32_t U32(const std::uint8_t* p) { return U16(p) | U16(p + 2) << 16; }

  // The bytes of row `row` on page `n`.
  std::string Row(std::uint32_t n, std::uint32_t row) const {
    const std::uint8_t* p = page(n);
    const int count_at = jet4_ ? 12 : 8;
    const std::uint32_t start = U16(p + count_at + 2 + 2 * row) & 0x1FFF;
    const std::uint32_t end = row == 0 ? page_size_ : U16(p + count_at + 2 * row) & 0x1FFF;
    return std::string(reinterpret_cast<const char*>(p) + start, end - start);
  }

  // Pages listed by the usage map the pointer names.
  std::set<std::uint32_t> MapPages(std::uint32_t pointer) const {
    const std::string row = Row(pointer >> 8, pointer & 0xFF);
    const auto* m = reinterpret_cast<const std::uint8_t*>(row.data());
    std::set<std::uint32_t> out;
    if (m[0] == 0) {
      const std::uint32_t start = U32(m + 1);
      for (size_t i = 0; i < (row.size() - 5) * 8; ++i) {
        if (m[5 + i / 8] >> (i % 8) & 1) out.insert(start + static_cast<std::uint32_t>(i));
      }
    } else {
      EXPECT_EQ(m[0], 1);
      const std::uint32_t bits = (page_size_ - 4) * 8;
      for (size_t k = 0; k < (row.size() - 1) / 4; ++k) {
        const std::uint32_t map_page = U32(m + 1 + 4 * k);
        if (map_page == 0) continue;
        const std::uint8_t* mp = page(map_page);
        EXPECT_EQ(mp[0], 0x05);
        for (std::uint32_t i = 0; i < bits; ++i) {
          if (mp[4 + i / 8] >> (i % 8) & 1) out.insert(static_cast<std::uint32_t>(k) * bits + i);
        }
      }
    }
    return out;
  }

  // Data pages whose owner field is `owner` (a definition page, or "LVAL").
  std::set<std::uint32_t> DataPagesOwnedBy(std::uint32_t owner) const {
    if (owners_.empty()) {
      for (std::uint32_t n = 3; n < pages(); ++n) {
        if (page(n)[0] == 0x01) owners_[U32(page(n) + 4)].insert(n);
      }
    }
    auto it = owners_.find(owner);
    return it == owners_.end() ? std::set<std::uint32_t>() : it->second;
  }

  bool jet4() const { return jet4_; }

 private:
  bool jet4_;
  std::uint32_t page_size_;
  std::string file_;
  mutable std::map<std::uint32_t, std::set<std::uint32_t>> owners_;
};

class UsageMapTest : public ::testing::TestWithParam<Format> {};

INSTANTIATE_TEST_SUITE_P(Formats, UsageMapTest, ::testing::Values(Format::kJet4, Format::kJet3),
                         [](const auto& info) { return std::string(info.param == Format::kJet4 ? "Jet4" : "Jet3"); });

TEST_P(UsageMapTest, MapsListExactlyTheOwnedPages) {
  // Two tables with interleaved long values, enough pages for reference maps.
  TempFile file("maps.mdb");
  accessdb::DatabaseOptions options;
  options.format = GetParam();
  {
    accessdb::DatabaseWriter w(file.path(), options);
    for (const char* name : {"Small", "Large"}) {
      const int rows = std::string(name) == "Small" ? 3 : 20000;
      w.BeginTable(name, {{"Id", ColumnType::kLong, 0}, {"Memo", ColumnType::kMemo, 0}, {"Ole", ColumnType::kOle, 0}});
      for (int i = 0; i < rows; ++i) {
        w.AddRow({Value::Int(i), Value::Text(std::string(static_cast<size_t>(i % 7 == 0 ? 5000 : 100), 'm')),
                  i % 50 == 0 ? Value::Bytes(Bytes(20000, static_cast<std::uint32_t>(i))) : Value()});
      }
      w.EndTable();
    }
    w.Finish();
  }
  PageReader r(file.path(), GetParam());
  ASSERT_GT(r.pages(), 3u);
  std::set<std::uint32_t> all_long_value_pages;
  const int map_at = r.jet4() ? 55 : 35;
  std::set<std::uint32_t> definitions;
  for (std::uint32_t n = 2; n < r.pages(); ++n) {
    if (r.page(n)[0] == 0x02 && PageReader::U32(r.page(n) + (r.jet4() ? 16 : 12)) > 0) definitions.insert(n);
  }
  ASSERT_EQ(definitions.size(), 3u);  // Small, Large and MSysObjects have rows
  for (std::uint32_t def : definitions) {
    SCOPED_TRACE("definition page " + std::to_string(def));
    const std::uint8_t* d = r.page(def);
    EXPECT_EQ(r.MapPages(PageReader::U32(d + map_at)), r.DataPagesOwnedBy(def));
    EXPECT_TRUE(r.MapPages(PageReader::U32(d + map_at + 4)).empty());  // no free space listed
  }
  // Long-value column maps: the last entries before FF FF of each definition
  // (10 bytes each: column number, owned map, free map). Their union is every LVAL page.
  std::set<std::uint32_t> listed;
  for (std::uint32_t def : definitions) {
    const std::uint8_t* d = r.page(def);
    const std::uint32_t length = PageReader::U32(d + 8);
    ASSERT_LE(length, r.jet4() ? 4096u : 2048u);
    ASSERT_EQ(PageReader::U16(d + length - 2), 0xFFFFu);
    // MSysObjects has 7 long columns, the test tables 2 each.
    const int long_columns = def == 2 ? 7 : 2;
    for (int i = 0; i < long_columns; ++i) {
      const std::uint8_t* e = d + length - 2 - 10 * (long_columns - i);
      std::set<std::uint32_t> pages = r.MapPages(PageReader::U32(e + 2));
      for (std::uint32_t p : pages) EXPECT_TRUE(listed.insert(p).second) << "page listed twice: " << p;
      EXPECT_TRUE(r.MapPages(PageReader::U32(e + 6)).empty());
    }
  }
  EXPECT_EQ(listed, r.DataPagesOwnedBy(0x4C41564C));  // "LVAL"
  EXPECT_GT(listed.size(), 512u);  // beyond an inline map: reference maps were used
}

}  // namespace
}  // namespace accessdb_test
