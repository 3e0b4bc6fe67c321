// The damage report after an export: what the plug-in delivered without
// content or not at all (node_table_check.h), told to the person exporting.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/node_table_check.h"

// Where the full list goes for an export to `output`: "OUT.damage.txt"
// beside the file or the Markdown folder ("notes/" gives "notes.damage.txt");
// empty for standard output, whose report is standard error alone.
std::string DamageListPath(const std::string& output);

// Writes to `err` a summary line naming `database` and the counts, then at
// most 20 lost notes and a count of the rest; with `listPath` the whole list
// goes to that file (replaced), and the summary names it. A list that cannot
// be written is said on `err`; the report there stays whole.
void ReportLostNotes(std::ostream& err, const std::string& database, const std::vector<LostNote>& lost,
                     const std::string& listPath);
