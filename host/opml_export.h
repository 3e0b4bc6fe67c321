// The OPML 2.0 export: one outline element per document, nested as the
// outline is; text = the title, _note = the plain text (left out when empty).
#pragma once

#include <ostream>

#include "host/export_input.h"

void WriteOpmlExport(std::ostream& out, const ExportInput& input);
