// The JSON export: the import's JSON array, each document also carrying its
// plain text: [{"level", "title", "content", "text"}, ...] in delivery order.
#pragma once

#include <ostream>

#include "host/export_input.h"

void WriteJsonExport(std::ostream& out, const ExportInput& input);
