// One document's content as Markdown (CommonMark with pipe tables and ~~):
// paragraphs, headings ("heading 1" as "##", below the note's title),
// **bold**, *italic*, ~~strike~~, <u>underline</u>, <sup>, <sub>, links,
// nested lists, pipe tables, and pictures linked to files the caller writes
// (shown as images where viewers show them, else a link named by the
// picture's kind and size).
#pragma once

#include <functional>
#include <string>

#include "rtf/document.h"

// `pictureFile(i)` names the file written for document.pictures[i].
std::string MarkdownBody(const rtf::Document& document, const std::function<std::string(size_t)>& pictureFile);

// Text with the characters Markdown would read as markup escaped.
std::string EscapeMarkdown(const std::string& text, bool atLineStart);
