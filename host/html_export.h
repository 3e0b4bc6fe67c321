// The HTML export: one self-contained HTML5 file. A table of contents links
// to every document; each document is a collapsible section (<details>)
// with its title as heading and its content, its children nested inside.
#pragma once

#include <ostream>

#include "host/export_input.h"

void WriteHtmlExport(std::ostream& out, const ExportInput& input);
