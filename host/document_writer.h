// DocumentWriter: an export format written one document at a time, in the
// order the plug-in delivers them (the outline's order: each parent before
// its children). A writer keeps what its format needs of the open levels,
// never the documents themselves, so an export's memory does not grow with
// the database. It writes to a stream the caller owns and checks.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "host/import_run.h"
#include "host/outline_cursor.h"

class DocumentWriter {
 public:
  virtual ~DocumentWriter() = default;
  virtual void Write(const ImportedDocument& document, const OutlinePlace& place) = 0;
  // After the last document: closes whatever is still open.
  virtual void Finish() = 0;
};
