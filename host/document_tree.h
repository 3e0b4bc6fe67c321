// DocumentTree: the imported documents as the outline they came from, each
// placed by OutlineCursor. For writers that need the whole outline before
// they write (the Markdown folder names each file after its siblings). The
// tree views the caller's document list, which must outlive it.
#pragma once

#include <string>
#include <vector>

#include "host/import_run.h"

struct DocumentNode {
  const ImportedDocument* document = nullptr;
  std::vector<size_t> children;  // indexes into DocumentTree::nodes
  size_t depth = 0;              // 0 for a top-level document
  size_t siblingIndex = 0;       // 0-based position among its parent's children
  std::string position;          // "1.2.3": sibling numbers from the top
};

struct DocumentTree {
  std::vector<DocumentNode> nodes;  // in delivery order
  std::vector<size_t> roots;
};

DocumentTree BuildDocumentTree(const std::vector<ImportedDocument>& documents);
