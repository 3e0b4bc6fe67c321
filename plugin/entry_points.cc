// The module's four exports and the session reference that links them.
//
// Each body runs through RunAtBoundary (platform/boundary.h): on Linux a
// failure leaves the entry point as the C++ exception that reported it; on
// Windows it leaves as a structured exception carrying the message (see
// arvoline_plugin.h).
#include "importer/document_importer.h"
#include "platform/boundary.h"
#include "platform/code_page.h"
#include "platform/regional_settings_loader.h"
#include "plugin/arvoline_plugin.h"
#include "plugin/document_record.h"
#include "plugin/plugin_info.h"
#include "runtime/utf8.h"

// The header pins the calling convention and the record layout of the
// 32-bit Windows module with static_asserts.
static_assert(kBoundaryExceptionCode == ARVOLINE_ERROR_EXCEPTION_CODE);

namespace {

// The importer of the open session; null while none is open. A plain
// pointer: a session still open when the module is unloaded is not torn
// down during unloading, when the rest of the process may already be gone.
DocumentImporter* session = nullptr;

// The content of the document being delivered while the host's allocator
// runs. Held by the module rather than by the ImportDocument frame: a host
// that raises an OS exception inside the allocator skips that frame's
// destructors, and nothing the frame owns may then be lost.
UTF8String pendingContent;

// The title of the document being delivered, in UTF-8. Its storage is kept
// from one document to the next (a title is short) and let go of with the
// session.
UTF8String deliveredTitle;

void ReleasePendingContent() {
  pendingContent.clear();
  pendingContent.shrink_to_fit();
}

void CloseSession() {
  delete session;
  session = nullptr;
  UTF8String().swap(deliveredTitle);
}

}  // namespace

extern "C" {

int32_t ARVOLINE_STDCALL GetPluginInfo(void* pluginInfoRecord) {
  return RunAtBoundary([&] {
    WritePluginInfo(static_cast<unsigned char*>(pluginInfoRecord));
    return 1;
  });
}

int32_t ARVOLINE_STDCALL BeginImportSession(const char* ansiPath, int32_t, int32_t) {
  return RunAtBoundary([&] {
    // The user's regional settings, read once per process (Windows).
    LoadPlatformRegionalSettingsOnce();
    UnicodeString path = FromAnsi(ansiPath ? ansiPath : "");
    // An earlier session left open is closed rather than leaked.
    CloseSession();
    session = CreateImporter(path).release();
    // The session is in place before opening: after a failed opening it
    // serves nothing and EndImportSession releases it.
    session->Open();
    return 1;
  });
}

int32_t ARVOLINE_STDCALL ImportDocument(void* documentRecord, ContentAllocator allocator) {
  return RunAtBoundary([&] {
    if (!session || session->IsQueueEmpty()) return 2;
    DocumentRecord record(documentRecord);
    {
      // Everything the frame owns is released before the host is called.
      TreeItem item = session->NextItem();
      ToUtf8(item.title, deliveredTitle);
      record.WriteTitle(deliveredTitle);
      record.WriteLevel(item.level);
      pendingContent = session->DocumentText(item.key);
    }
    if (!pendingContent.empty()) record.DeliverContent(pendingContent, allocator);
    ReleasePendingContent();
    return 1;
  });
}

int32_t ARVOLINE_STDCALL EndImportSession(void) {
  return RunAtBoundary([] {
    CloseSession();
    return 1;
  });
}

}  // extern "C"
