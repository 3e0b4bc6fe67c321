// The plain-text export: one UTF-8 file; each title on its own line indented
// two spaces per outline level, its text below indented the same, a blank
// line between documents.
#pragma once

#include <ostream>

#include "host/export_input.h"

void WriteTextExport(std::ostream& out, const ExportInput& input);
