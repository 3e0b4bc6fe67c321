// The documents of a salvaged node table (salvaged_table.h), in the order
// and form the plug-in delivers them, and the notes salvage changed.
//
// Each outline entry becomes the document the plug-in makes of it: its level
// and title, and its record's content, converted through the active ANSI code
// page exactly as the plug-in's dataset stores it. An entry whose record is
// missing or unreadable gets no content; a record whose content was cut
// delivers the part before the damage. Where the outline is cut, stops at a
// damaged entry, cannot be read, or the root record is gone, every record no
// entry reached follows under a top-level note "Recovered notes", in table
// order, titled by its key and the first line of its text.
//
// Everything salvage changed or could not deliver is returned as LostNote
// (node_table_check.h) for the damage report: empty for an undamaged table.
// Keeps one key index of the records; the documents go to the callback one
// at a time.
#pragma once

#include <functional>
#include <vector>

#include "host/import_run.h"
#include "host/node_table_check.h"
#include "host/salvaged_table.h"

inline constexpr char kRecoveredNotesTitle[] = "Recovered notes";

std::vector<LostNote> DeliverSalvagedDocuments(const SalvagedTable& table, const NodeTableNames& names,
                                               const std::function<void(const ImportedDocument&)>& onDocument);
