// The plain text of a document: each paragraph one line, a line break a new
// line, tabs as "\t", a table row's cells joined by "\t" (a paragraph or line
// break in a cell a new line), list markers kept as written, superscript and
// subscript as Unicode has them (script_text.h), each picture as
// "[picture N: KIND, W × H px]", blanks at line ends and empty lines at the
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

// The text of one paragraph of `document`, marker first, with "\n" for its
// line breaks.
std::string ParagraphText(const Document& document, const Paragraph& paragraph);

}  // namespace rtf
