// One document's content as Markdown (CommonMark with GitHub's pipe tables
// and strikethrough): paragraphs, headings ("heading 1" as "##", below the
// note's "#" title), inline content as markdown_inlines.h writes it, nested
// lists, pipe tables (a line break in a cell as <br>), and pictures linked to
// files the caller writes: shown as images where viewers show them, else a
// link named by the picture's kind and size ("picture 2: EMF, 96 × 48 px").
// Every block is written so that a renderer shows it as the text reads: a
// line never starts a block the text did not have.
#pragma once

#include <functional>
#include <string>

#include "rtf/document.h"

// `pictureFile(i)` names the file written for document.pictures[i], relative
// to the Markdown file.
std::string MarkdownBody(const rtf::Document& document, const std::function<std::string(size_t)>& pictureFile);
