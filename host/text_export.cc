#include "host/text_export.h"

#include "host/markup_text.h"
#include "rtf/plain_text.h"

void TextExportWriter::Write(const ImportedDocument& document, const OutlinePlace& place) {
  if (!first_) out_ << '\n';
  first_ = false;
  const std::string indent(2 * place.depth, ' ');
  out_ << indent << ReadableText(document.title) << '\n';
  const std::string text = ReadableText(rtf::ContentText(document.content));
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) out_ << indent;
    out_.write(text.data() + start, static_cast<std::streamsize>(end - start));
    out_ << '\n';
    start = end + 1;
  }
}
