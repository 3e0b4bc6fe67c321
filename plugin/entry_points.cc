// The module's four exports and the session reference that links them.
//
// No entry point catches an error: on this build a failure leaves the entry
// point as the C++ exception that reported it (see arvoline_plugin.h).
#include <type_traits>

#include "importer/document_importer.h"
#include "platform/code_page.h"
#include "plugin/arvoline_plugin.h"
#include "plugin/document_record.h"
#include "plugin/plugin_info.h"
#include "runtime/utf8.h"

#if defined(_WIN32) && defined(__i386__)
// stdcall is part of the function type here: a mismatch with the header's
// declarations fails the build instead of corrupting the host's stack.
static_assert(std::is_same_v<decltype(&GetPluginInfo), GetPluginInfoFunction>);
static_assert(std::is_same_v<decltype(&BeginImportSession), BeginImportSessionFunction>);
static_assert(std::is_same_v<decltype(&ImportDocument), ImportDocumentFunction>);
static_assert(std::is_same_v<decltype(&EndImportSession), EndImportSessionFunction>);
#endif

namespace {

// The importer of the open session; null while none is open. A plain
// pointer: a session still open when the module is unloaded is not torn
// down during unloading, when the rest of the process may already be gone.
DocumentImporter* session = nullptr;

void CloseSession() {
  delete session;
  session = nullptr;
}

}  // namespace

extern "C" {

int32_t ARVOLINE_STDCALL GetPluginInfo(void* pluginInfoRecord) {
  WritePluginInfo(static_cast<unsigned char*>(pluginInfoRecord));
  return 1;
}

int32_t ARVOLINE_STDCALL BeginImportSession(const char* ansiPath, int32_t, int32_t) {
  UnicodeString path = FromAnsi(ansiPath ? ansiPath : "");
  // An earlier session left open is closed rather than leaked.
  CloseSession();
  session = CreateImporter(path).release();
  // The session is in place before opening: after a failed opening it
  // serves nothing and EndImportSession releases it.
  session->Open();
  return 1;
}

int32_t ARVOLINE_STDCALL ImportDocument(void* documentRecord, ContentAllocator allocator) {
  if (!session || session->IsQueueEmpty()) return 2;
  TreeItem item = session->NextItem();
  DocumentRecord record(documentRecord);
  record.WriteTitle(ToUtf8(item.title));
  record.WriteLevel(item.level);
  UTF8String content = session->DocumentText(item.key);
  if (!content.empty()) record.DeliverContent(content, allocator);
  return 1;
}

int32_t ARVOLINE_STDCALL EndImportSession(void) {
  CloseSession();
  return 1;
}

}  // extern "C"
