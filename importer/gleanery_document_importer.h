// GleaneryDocumentImporter: the importer for Gleanery databases (".xrd").
#pragma once

#include "importer/document_importer.h"

class GleaneryDocumentImporter : public DocumentImporter {
 public:
  explicit GleaneryDocumentImporter(const UnicodeString& path) : DocumentImporter(path) {}

  UnicodeString TableName() override { return u"DocumentsTreeNodes"; }
  UnicodeString StructureFieldName() override { return u"NodeDocumentDescription"; }
  UnicodeString RootKey() override { return u"~DocsTree"; }
  UnicodeString ContentFieldName() override { return u"NodeDocumentKeywords"; }
};
