#include "host/document_tree.h"

#include "host/outline_cursor.h"

DocumentTree BuildDocumentTree(const std::vector<ImportedDocument>& documents) {
  DocumentTree tree;
  tree.nodes.reserve(documents.size());
  OutlineCursor cursor;
  std::vector<size_t> open;  // node indexes of the path from the top to the last document
  for (const ImportedDocument& document : documents) {
    const OutlinePlace& place = cursor.Next(document.level);
    open.resize(place.depth);
    const size_t index = tree.nodes.size();
    (open.empty() ? tree.roots : tree.nodes[open.back()].children).push_back(index);
    DocumentNode node;
    node.document = &document;
    node.depth = place.depth;
    node.siblingIndex = place.siblingIndex;
    node.position = place.position;
    tree.nodes.push_back(std::move(node));
    open.push_back(index);
  }
  return tree;
}
