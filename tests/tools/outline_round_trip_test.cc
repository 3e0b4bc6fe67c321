// Outline databases parse back, through the project's own outline parser, to
// the nodes they were written from.
#include <gtest/gtest.h>

#include <map>

#include "outline/tree_items_collection.h"
#include "outline/tree_items_parser.h"
#include "platform/code_page.h"
#include "runtime/utf8.h"
#include "tests/tools/libmdb_table_reader.h"
#include "tests/tools/test_support.h"
#include "tools/accessdb/outline_database.h"

namespace accessdb_test {
namespace {

using accessdb::Format;
using accessdb::OutlineVariant;

struct Case {
  OutlineVariant variant;
  Format format;
  int code_page;
  int nodes, depth;
};

class OutlineRoundTripTest : public ::testing::TestWithParam<Case> {};

INSTANTIATE_TEST_SUITE_P(
    Variants, OutlineRoundTripTest,
    ::testing::Values(Case{OutlineVariant::kArvoline, Format::kJet4, 1252, 2000, 6},
                      Case{OutlineVariant::kGleanery, Format::kJet4, 1250, 300, 3},
                      Case{OutlineVariant::kArvoline, Format::kJet3, 1252, 500, 4},
                      Case{OutlineVariant::kGleanery, Format::kJet3, 1252, 1, 1}));

TEST_P(OutlineRoundTripTest, ParsesBackToTheGivenNodes) {
  const Case& c = GetParam();
  accessdb::GeneratorOptions g;
  g.nodes = c.nodes;
  g.depth = c.depth;
  g.content_bytes = 700;
  g.seed = static_cast<std::uint64_t>(c.nodes);
  std::vector<accessdb::OutlineNode> nodes = accessdb::GenerateOutline(g, c.code_page);
  // One hand-made node with a key, a title and content of the code page's letters.
  nodes.push_back({"Root", "Sch\xC3\xBCssel", "\xC3\x9C" "ber \"alles\" & mehr", std::string("Inhalt \xC3\xA4")});

  accessdb::OutlineOptions options;
  options.variant = c.variant;
  options.format = c.format;
  options.code_page = c.code_page;
  TempFile file("round-trip.mdb");
  accessdb::WriteOutlineDatabase(file.path(), options, nodes);

  const accessdb::OutlineNames& names = accessdb::NamesOf(c.variant);
  LibmdbTableReader reader(file.path());
  std::string outline;
  std::map<std::string, std::string> contents;
  reader.Read(names.table, nullptr, [&](const std::vector<MdbCell>& row) {
    if (row[0].text == names.root_key) {
      outline = row[1].raw;
    } else {
      contents[row[0].text] = row[2].raw;
    }
  });

  ScopedActiveCodePage code_page(c.code_page);
  TreeItemsCollection items;
  TreeItemsParser().Parse(FromUtf8(outline), items);
  ASSERT_EQ(items.Count(), static_cast<int32_t>(nodes.size()));
  std::map<std::string, int> level;
  for (size_t i = 0; i < nodes.size(); ++i) {
    const accessdb::OutlineNode& n = nodes[i];
    level[n.key] = n.parent == "Root" ? 0 : level[n.parent] + 1;
    const TreeItem item = items.Item(static_cast<int32_t>(i));
    EXPECT_EQ(ToUtf8(item.key), n.key);
    EXPECT_EQ(ToUtf8(item.title), n.title);
    EXPECT_EQ(item.level, level[n.key]) << n.key;
    EXPECT_EQ(contents[n.key], n.content.value_or(""));
  }
}

}  // namespace
}  // namespace accessdb_test
