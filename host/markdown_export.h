// The Markdown export: a folder with one file per document. A document is
// "NNN-title.md" (NNN its position among its siblings); a document with
// children is a folder "NNN-title" holding its own text as index.md and its
// children. Each file starts with front matter (title, outline position,
// level) and the title as a heading; pictures are files beside it
// ("NNN-title-1.png", "index-1.png"), linked from the text.
#pragma once

#include <filesystem>

#include "host/export_input.h"

// Writes into `folder`, which exists and is empty.
void WriteMarkdownExport(const std::filesystem::path& folder, const ExportInput& input);
