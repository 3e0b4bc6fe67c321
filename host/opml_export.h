// The OPML 2.0 export: one outline element per document, nested as the
// outline is; text = the title, _note = the plain text (left out when empty).
#pragma once

#include <string>

#include "host/document_writer.h"

class OpmlExportWriter : public DocumentWriter {
 public:
  // Writes the head, with `title` as the outline's title.
  OpmlExportWriter(std::ostream& out, const std::string& title);
  void Write(const ImportedDocument& document, const OutlinePlace& place) override;
  void Finish() override;

 private:
  // Ends the last element's start tag, as an empty element unless the next
  // document at `nextDepth` is its child, and closes the elements the next
  // document is not inside of.
  void CloseUntil(size_t nextDepth);

  std::ostream& out_;
  size_t open_ = 0;        // elements started, the last one's start tag still unended
  bool started_ = false;   // a document was written
};
