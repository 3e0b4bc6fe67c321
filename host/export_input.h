// What the Markdown writer is given (the other formats are DocumentWriters,
// given one document at a time): the outline of imported
// documents (views the caller's data, valid for the call), the name shown as
// the export's title, and a callback to run after each document is written.
#pragma once

#include <functional>
#include <string>

#include "host/document_tree.h"

struct ExportInput {
  const DocumentTree& tree;
  std::string title;
  std::function<void()> documentDone = [] {};
};
