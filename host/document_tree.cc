#include "host/document_tree.h"

DocumentTree BuildDocumentTree(const std::vector<ImportedDocument>& documents) {
  DocumentTree tree;
  tree.nodes.reserve(documents.size());
  std::vector<size_t> open;  // the path from the top to the last document
  for (const ImportedDocument& document : documents) {
    while (!open.empty() && tree.nodes[open.back()].document->level >= document.level) open.pop_back();
    const size_t index = tree.nodes.size();
    DocumentNode node;
    node.document = &document;
    node.depth = open.size();
    std::vector<size_t>& siblings = open.empty() ? tree.roots : tree.nodes[open.back()].children;
    node.siblingIndex = siblings.size();
    node.position = (open.empty() ? "" : tree.nodes[open.back()].position + ".") + std::to_string(siblings.size() + 1);
    siblings.push_back(index);
    tree.nodes.push_back(std::move(node));
    open.push_back(index);
  }
  return tree;
}
