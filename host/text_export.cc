#include "host/text_export.h"

#include "host/markup_text.h"
#include "rtf/plain_text.h"

void WriteTextExport(std::ostream& out, const ExportInput& input) {
  bool first = true;
  for (const DocumentNode& node : input.tree.nodes) {
    if (!first) out << '\n';
    first = false;
    const std::string indent(2 * node.depth, ' ');
    out << indent << ReadableText(node.document->title) << '\n';
    const std::string text = ReadableText(rtf::ContentText(node.document->content));
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      if (end > start) out << indent;
      out.write(text.data() + start, static_cast<std::streamsize>(end - start));
      out << '\n';
      start = end + 1;
    }
    input.documentDone();
  }
}
