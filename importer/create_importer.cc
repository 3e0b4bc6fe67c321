#include "importer/arvoline_document_importer.h"
#include "importer/document_importer.h"
#include "importer/gleanery_document_importer.h"
#include "runtime/file_name.h"

std::unique_ptr<DocumentImporter> CreateImporter(const UnicodeString& path) {
  if (ExtractFileExt(path) == u".xrd") return std::make_unique<GleaneryDocumentImporter>(path);
  return std::make_unique<ArvolineDocumentImporter>(path);
}
