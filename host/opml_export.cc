#include "host/opml_export.h"

#include "host/markup_text.h"
#include "rtf/plain_text.h"

namespace {

std::string Indent(size_t depth) { return std::string(4 + 2 * depth, ' '); }

}  // namespace

OpmlExportWriter::OpmlExportWriter(std::ostream& out, const std::string& title) : out_(out) {
  out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<opml version=\"2.0\">\n"
          "  <head>\n"
          "    <title>" << EscapeMarkup(title, false) << "</title>\n"
          "  </head>\n"
          "  <body>\n";
}

void OpmlExportWriter::Write(const ImportedDocument& document, const OutlinePlace& place) {
  CloseUntil(place.depth);
  out_ << Indent(place.depth) << "<outline text=\"" << EscapeMarkup(document.title, true) << '"';
  const std::string note = rtf::ContentText(document.content);
  if (!note.empty()) out_ << " _note=\"" << EscapeMarkup(note, true) << '"';
  open_ = place.depth + 1;
  started_ = true;
}

void OpmlExportWriter::CloseUntil(size_t nextDepth) {
  if (!started_) return;
  const bool hasChild = nextDepth == open_;
  out_ << (hasChild ? ">\n" : "/>\n");
  if (hasChild) return;
  for (--open_; open_ > nextDepth; --open_) out_ << Indent(open_ - 1) << "</outline>\n";
}

void OpmlExportWriter::Finish() {
  CloseUntil(0);
  out_ << "  </body>\n"
          "</opml>\n";
}
