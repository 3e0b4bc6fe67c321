#include "importer/arvoline_document_importer.h"
#include "importer/document_importer.h"
#include "importer/gleanery_document_importer.h"

namespace {

// The extension as the Windows runtime sees it: from the last '.' to the
// end, unless a '\' or ':' comes after that dot. '/' is no separator here.
UnicodeString ExtractFileExt(const UnicodeString& path) {
  size_t last = path.find_last_of(u".\\:");
  if (last == UnicodeString::npos || path[last] != u'.') return UnicodeString();
  return path.substr(last);
}

}  // namespace

std::unique_ptr<DocumentImporter> CreateImporter(const UnicodeString& path) {
  if (ExtractFileExt(path) == u".xrd") return std::make_unique<GleaneryDocumentImporter>(path);
  return std::make_unique<ArvolineDocumentImporter>(path);
}
