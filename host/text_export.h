// The plain-text export: one UTF-8 file; each title on its own line indented
// two spaces per outline level, its text below indented the same, a blank
// line between documents.
#pragma once

#include "host/document_writer.h"

class TextExportWriter : public DocumentWriter {
 public:
  explicit TextExportWriter(std::ostream& out) : out_(out) {}
  void Write(const ImportedDocument& document, const OutlinePlace& place) override;
  void Finish() override {}

 private:
  std::ostream& out_;
  bool first_ = true;
};
