// The inline content of one paragraph or table cell as CommonMark: text
// escaped (markdown_escape.h), bold, italic and strikethrough as **, * and ~~
// where CommonMark's flanking rules let those open and close exactly where
// the styles do, else as <strong>, <em> and <s>; underline, superscript and
// subscript as <u>, <sup> and <sub> (inline HTML, which CommonMark keeps);
// links only to the targets SafeHref allows; each line break as the caller's
// text.
//
// A function of its arguments; the cost is linear in the paragraph's size
// (the choice between delimiters and tags is revisited a bounded number of
// times).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "rtf/document.h"

struct MarkdownInlineContext {
  // Written for a line break: "\\\n" plus the continuation's indent in a
  // paragraph, "<br>" in a table cell.
  std::string lineBreak = "\\\n";
  // The Markdown of document.pictures[i] (never a link target of its own:
  // pictures are kept out of the link text around them).
  std::function<std::string(size_t)> picture = [](size_t) { return std::string(); };
};

// Blanks at the start and end of each line are dropped (CommonMark would
// read four of them as code, two at the end as a line break), and line
// breaks at the end.
std::string MarkdownInlines(const std::vector<rtf::Inline>& inlines, const MarkdownInlineContext& context);
