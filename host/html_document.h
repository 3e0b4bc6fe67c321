// One document's content as an HTML5 fragment: paragraphs with their
// alignment and direction, headings, <strong>, <em>, <u>, <s>, <sup>, <sub>,
// right-to-left runs, links (only to harmless schemes), nested lists, tables,
// and pictures inline as data URIs (those browsers do not show, such as EMF,
// as a placeholder with their kind and size beside a download link).
#pragma once

#include <string>

#include "rtf/document.h"

// Headings in the content rank below `outerHeading`, the level of the
// heading of the section that holds it: "heading 1" is h(outerHeading + 1),
// h6 at most.
std::string HtmlBody(const rtf::Document& document, int outerHeading = 1);
