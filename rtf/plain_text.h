// The plain text of a document: each paragraph one line, a line break a new
// line, tabs as "\t", a table row one line with its cells joined by "\t",
// list markers kept as written, blanks at line ends and empty lines at the
// end removed, no final newline.
#pragma once

#include <string>
#include <string_view>

#include "rtf/document.h"

namespace rtf {

std::string PlainText(const Document& document);

// The plain text of a document's stored content, RTF or not, read as
// ReadDocument reads it: text that is not RTF is text, one paragraph a line.
std::string ContentText(std::string_view content);

// The text of one paragraph, marker first, with "\n" for its line breaks.
std::string ParagraphText(const Paragraph& paragraph);

}  // namespace rtf
