// One document's content as an HTML5 fragment: paragraphs, <strong>, <em>,
// <u>, <s>, links (only to harmless schemes), nested lists, tables, and
// pictures inline as data URIs (EMF and WMF, which browsers do not show, as
// download links).
#pragma once

#include <string>

#include "rtf/document.h"

std::string HtmlBody(const rtf::Document& document);
