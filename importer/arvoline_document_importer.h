// ArvolineDocumentImporter: the importer for Arvoline databases (.xtp and
// every path that is not ".xrd").
#pragma once

#include "importer/document_importer.h"

class ArvolineDocumentImporter : public DocumentImporter {
 public:
  explicit ArvolineDocumentImporter(const UnicodeString& path) : DocumentImporter(path) {}

  UnicodeString TableName() override { return u"Arvoline32XTPro"; }
  UnicodeString StructureFieldName() override { return u"NodeTextValue"; }
  UnicodeString RootKey() override { return u"~Arvo32XT"; }
  UnicodeString ContentFieldName() override { return u"NodeTextRTFValue"; }
};
