// How the host shows what an import delivered: an indented tree of titles
// with content sizes, and a JSON array of every document.
#pragma once

#include <ostream>
#include <vector>

#include "host/import_run.h"

// One line: two spaces per level, the title, and the content size, e.g.
// "  Chapter 1  [1234 bytes]".
void PrintTreeLine(std::ostream& out, const ImportedDocument& document);

// [{"level": 0, "title": "...", "content": "..."}, ...] in delivery order.
// Bytes that are no valid UTF-8 become U+FFFD.
void WriteJson(std::ostream& out, const std::vector<ImportedDocument>& documents);
