#include "host/html_export.h"

#include <algorithm>
#include <vector>

#include "host/html_document.h"
#include "host/markup_text.h"
#include "rtf/rtf_reader.h"

namespace {

const char kStyle[] =
    "body{font-family:sans-serif;max-width:60em;margin:1em auto;padding:0 1em;line-height:1.4}"
    "details{margin:.3em 0 .3em 1.2em}details>summary{cursor:pointer}"
    "summary>h2,summary>h3,summary>h4,summary>h5,summary>h6{display:inline;margin:0}"
    "table{border-collapse:collapse}td{border:1px solid #999;padding:.2em .5em}"
    "nav ul{padding-left:1.2em}";

std::string Anchor(const DocumentNode& node) { return "d" + node.position; }

std::string Content(const std::string& content) { return HtmlBody(rtf::ReadDocument(content)); }

// Walks the tree in document order without recursion: `enter` for each node,
// `leave` after its children.
template <typename Enter, typename Leave>
void Walk(const DocumentTree& tree, Enter enter, Leave leave) {
  struct Frame {
    size_t node;
    size_t nextChild;
  };
  for (const size_t root : tree.roots) {
    std::vector<Frame> stack{{root, 0}};
    enter(tree.nodes[root]);
    while (!stack.empty()) {
      Frame& top = stack.back();
      const DocumentNode& node = tree.nodes[top.node];
      if (top.nextChild < node.children.size()) {
        const size_t child = node.children[top.nextChild++];
        enter(tree.nodes[child]);
        stack.push_back({child, 0});
        continue;
      }
      leave(node);
      stack.pop_back();
    }
  }
}

}  // namespace

void WriteHtmlExport(std::ostream& out, const ExportInput& input) {
  const std::string title = EscapeMarkup(input.title, false);
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << title
      << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n<h1>" << title << "</h1>\n";

  if (!input.tree.roots.empty()) {
    out << "<nav>\n<h2>Contents</h2>\n<ul>\n";
    Walk(
        input.tree,
        [&](const DocumentNode& node) {
          out << "<li><a href=\"#" << Anchor(node) << "\">" << EscapeMarkup(node.document->title, false) << "</a>";
          out << (node.children.empty() ? "</li>\n" : "\n<ul>\n");
        },
        [&](const DocumentNode& node) {
          if (!node.children.empty()) out << "</ul>\n</li>\n";
        });
    out << "</ul>\n</nav>\n";
  }

  out << "<main>\n";
  Walk(
      input.tree,
      [&](const DocumentNode& node) {
        const std::string heading = "h" + std::to_string(std::min<size_t>(node.depth + 2, 6));
        out << "<details open id=\"" << Anchor(node) << "\">\n<summary><" << heading << ">"
            << EscapeMarkup(node.document->title, false) << "</" << heading << "></summary>\n"
            << Content(node.document->content);
        input.documentDone();
      },
      [&](const DocumentNode&) { out << "</details>\n"; });
  out << "</main>\n</body>\n</html>\n";
}
