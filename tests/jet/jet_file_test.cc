// Pages as JetFile reads them: the file's own bytes (decoded where the file
// has a page key) in whatever order they are asked for, including the
// orders that are served from a block read ahead and those that are not.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "jet/jet_file.h"
#include "jet/rc4.h"
#include "runtime/utf8.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/outline_database.h"

namespace {

constexpr size_t kPageSize = 4096;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Gives the file a page key and encodes every page but the header with it.
void EncodePages(const std::string& path, uint32_t key) {
  std::string bytes = ReadAll(path);
  auto* header = reinterpret_cast<uint8_t*>(&bytes[0]);
  Rc4Crypt(std::string_view("\xC7\xDA\x39\x6B", 4), header + 0x18, 128);
  std::memcpy(header + 0x3E, &key, 4);
  Rc4Crypt(std::string_view("\xC7\xDA\x39\x6B", 4), header + 0x18, 128);
  for (size_t page = 1; page < bytes.size() / kPageSize; ++page) {
    const uint32_t pageKey = key ^ static_cast<uint32_t>(page);
    Rc4Crypt(std::string_view(reinterpret_cast<const char*>(&pageKey), 4),
             reinterpret_cast<uint8_t*>(&bytes[page * kPageSize]), kPageSize);
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

TEST(JetFile, PagesReadInAnyOrderAreTheFilesBytes) {
  TempDirectory dir;
  const std::string path = dir.File("pages.xtp");
  accessdb::GeneratorOptions generator;
  generator.nodes = 400;
  generator.content_bytes = 900;
  accessdb::WriteGeneratedOutlineDatabase(path, accessdb::OutlineOptions(), generator);
  const std::string plain = ReadAll(path);
  // Half a page more: a partial last page is no page.
  std::ofstream(path, std::ios::binary | std::ios::app) << std::string(kPageSize / 2, 'x');
  const uint32_t count = static_cast<uint32_t>(plain.size() / kPageSize);
  ASSERT_GT(count, 3 * JetFile::kReadAheadPages);

  std::vector<std::pair<const char*, std::vector<uint32_t>>> orders;
  std::vector<uint32_t> ascending, descending, strided, backAndForth, twice, fromTheEnd;
  for (uint32_t p = 0; p < count; ++p) ascending.push_back(p);
  for (uint32_t p = count + 2; p-- > 0;) descending.push_back(p);
  for (uint32_t p = 1; p < count; p += 13) strided.push_back(p);
  for (uint32_t p = 2; p + 20 < count; p += 7) backAndForth.insert(backAndForth.end(), {p, p + 1, p + 20, p - 2, p + 2});
  for (int round = 0; round < 2; ++round) twice.insert(twice.end(), ascending.begin(), ascending.end());
  fromTheEnd = {count - 3, count - 2, count - 1, count, count + 1, count - 1, 0, 1};
  orders = {{"ascending", ascending}, {"descending", descending}, {"strided", strided},
            {"back and forth", backAndForth}, {"twice", twice}, {"at the end", fromTheEnd}};

  for (const bool encoded : {false, true}) {
    if (encoded) EncodePages(path, 0x5A17C0DE);
    const std::string header = ReadAll(path).substr(0, kPageSize);  // read as it is
    for (const auto& [name, order] : orders) {
      const JetFile file(FromUtf8(path));
      ASSERT_EQ(file.PageCount(), count);
      std::string page;
      for (uint32_t p : order) {
        ASSERT_EQ(file.ReadPage(p, page), p < count) << name << " page " << p;
        if (p >= count) continue;
        const std::string expected = p == 0 ? header : plain.substr(p * kPageSize, kPageSize);
        ASSERT_EQ(page, expected) << name << " page " << p << (encoded ? " encoded" : "");
      }
    }
  }
}
