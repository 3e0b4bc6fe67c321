#include "host/opml_export.h"

#include <vector>

#include "host/markup_text.h"
#include "rtf/plain_text.h"

namespace {

// Writes the outline element of `index` and its subtree without recursion
// (an outline may be as deep as it has documents).
void WriteSubtree(std::ostream& out, const ExportInput& input, size_t root) {
  struct Frame {
    size_t node;
    size_t nextChild;
  };
  std::vector<Frame> stack;
  auto open = [&](size_t index) {
    const DocumentNode& node = input.tree.nodes[index];
    const std::string indent(4 + 2 * stack.size(), ' ');
    out << indent << "<outline text=\"" << EscapeMarkup(node.document->title, true) << '"';
    const std::string note = rtf::ContentText(node.document->content);
    if (!note.empty()) out << " _note=\"" << EscapeMarkup(note, true) << '"';
    input.documentDone();
    if (node.children.empty()) {
      out << "/>\n";
      return;
    }
    out << ">\n";
    stack.push_back({index, 0});
  };
  open(root);
  while (!stack.empty()) {
    Frame& top = stack.back();
    const DocumentNode& node = input.tree.nodes[top.node];
    if (top.nextChild < node.children.size()) {
      open(node.children[top.nextChild++]);
      continue;
    }
    stack.pop_back();
    out << std::string(4 + 2 * stack.size(), ' ') << "</outline>\n";
  }
}

}  // namespace

void WriteOpmlExport(std::ostream& out, const ExportInput& input) {
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<opml version=\"2.0\">\n"
         "  <head>\n"
         "    <title>" << EscapeMarkup(input.title, false) << "</title>\n"
         "  </head>\n"
         "  <body>\n";
  for (const size_t root : input.tree.roots) WriteSubtree(out, input, root);
  out << "  </body>\n"
         "</opml>\n";
}
