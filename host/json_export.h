// The JSON export: the import's JSON array, each document also carrying its
// plain text: [{"level", "title", "content", "text"}, ...] in delivery order,
// laid out as `import --json` lays out its array.
#pragma once

#include "host/document_writer.h"

class JsonExportWriter : public DocumentWriter {
 public:
  explicit JsonExportWriter(std::ostream& out) : out_(out) {}
  void Write(const ImportedDocument& document, const OutlinePlace& place) override;
  void Finish() override;

 private:
  std::ostream& out_;
  bool first_ = true;
};
