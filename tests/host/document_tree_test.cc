// The outline the exports are written from: parents, depths and positions
// from the delivered levels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/document_tree.h"

namespace {

// Each node as "position@depth" in delivery order.
std::string Shape(const std::vector<int32_t>& levels) {
  std::vector<ImportedDocument> documents;
  for (const int32_t level : levels) documents.push_back({level, "t", ""});
  const DocumentTree tree = BuildDocumentTree(documents);
  std::string out;
  for (const DocumentNode& node : tree.nodes)
    out += (out.empty() ? "" : " ") + node.position + "@" + std::to_string(node.depth);
  return out;
}

TEST(DocumentTreeTest, ParentsFollowTheLevels) {
  const struct {
    std::vector<int32_t> levels;
    std::string shape;
  } rows[] = {
      {{}, ""},
      {{0, 0, 0}, "1@0 2@0 3@0"},
      {{0, 1, 2, 1, 0, 1}, "1@0 1.1@1 1.1.1@2 1.2@1 2@0 2.1@1"},
      {{0, 3, 3, 1}, "1@0 1.1@1 1.2@1 1.3@1"},  // a jump nests one step only
      {{2, 0}, "1@0 2@0"},                      // first document below level 0
      {{0, -1, 1}, "1@0 2@0 2.1@1"},            // a negative level at the top
  };
  for (const auto& row : rows) {
    std::string levels;
    for (const int32_t l : row.levels) levels += std::to_string(l) + " ";
    EXPECT_EQ(Shape(row.levels), row.shape) << levels;
  }
}

}  // namespace
