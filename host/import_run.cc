#include "host/import_run.h"

#include <cstring>
#include <vector>

#include "host/host_error.h"

namespace {

// The host's document record and the content buffer it hands out. The
// allocator finds it through `current`: the plug-in calls the allocator only
// from inside ImportDocument, on the calling thread.
struct HostDocument {
  alignas(8) unsigned char record[ARVOLINE_DOCUMENT_RECORD_SIZE];
  std::vector<char> buffer;
  bool allocated = false;

  static HostDocument* current;
};
HostDocument* HostDocument::current = nullptr;

int32_t ARVOLINE_STDCALL AllocateContent(void* documentRecord, int32_t, int32_t byteLength) {
  HostDocument* document = HostDocument::current;
  if (!document || documentRecord != document->record || byteLength < 0) {
    if (document) document->allocated = false;
    return 0;
  }
  document->buffer.assign(static_cast<size_t>(byteLength) + 1, '\0');
  char* address = document->buffer.data();
  std::memcpy(document->record + kDocumentContentPointerOffset, &address, sizeof address);
  document->allocated = true;
  return 1;
}

// Calls EndImportSession however the session ends.
class SessionGuard {
 public:
  explicit SessionGuard(const PluginModule& module) : module_(module) {}
  ~SessionGuard() { module_.EndImportSession(); }
  SessionGuard(const SessionGuard&) = delete;
  SessionGuard& operator=(const SessionGuard&) = delete;

 private:
  const PluginModule& module_;
};

}  // namespace

void RunImport(const PluginModule& module, const std::string& ansiPath,
               const std::function<void(const ImportedDocument&)>& onDocument) {
  SessionGuard session(module);
  module.BeginImportSession(ansiPath.c_str());
  HostDocument document;
  // The record is cleared once; before each document only what the plug-in
  // writes is reset (the level, the title's first byte and the content
  // pointer): clearing all 12 KB of it for every document stored 1.2 GB
  // over an import of 100,000 documents.
  std::memset(document.record, 0, sizeof document.record);
  // One document object for the whole run: its strings keep their storage
  // from one document to the next instead of two allocations a document.
  ImportedDocument imported;
  for (;;) {
    std::memset(document.record + kDocumentLevelOffset, 0, sizeof(int32_t));
    document.record[kDocumentTitleOffset] = 0;
    std::memset(document.record + kDocumentContentPointerOffset, 0, sizeof(void*));
    document.allocated = false;
    HostDocument::current = &document;
    int32_t result;
    try {
      result = module.ImportDocument(document.record, AllocateContent);
    } catch (...) {
      HostDocument::current = nullptr;
      throw;
    }
    HostDocument::current = nullptr;
    if (result == 2) break;
    if (result != 1) throw HostError("the plug-in answered " + std::to_string(result) + " to ImportDocument");

    std::memcpy(&imported.level, document.record + kDocumentLevelOffset, sizeof imported.level);
    const char* title = reinterpret_cast<const char*>(document.record + kDocumentTitleOffset);
    imported.title.assign(title, strnlen(title, kDocumentTitleRoom));
    if (document.allocated)
      imported.content.assign(document.buffer.data(), strnlen(document.buffer.data(), document.buffer.size()));
    else
      imported.content.clear();
    onDocument(imported);
  }
}
