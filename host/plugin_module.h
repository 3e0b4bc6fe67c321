// PluginModule: one loaded plug-in module and its four entry points.
//
// Loads the module with dlopen on construction and unloads it on
// destruction. The entry points are called exactly as a host application
// calls them; errors raised inside them arrive as std::exception.
#pragma once

#include <string>

#include "plugin/arvoline_plugin.h"

class PluginModule {
 public:
  // Loads `path`; HostError when it cannot be loaded or lacks an export.
  explicit PluginModule(const std::string& path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  const std::string& Path() const { return path_; }

  int32_t GetPluginInfo(void* record) const { return getPluginInfo_(record); }
  int32_t BeginImportSession(const char* ansiPath) const { return beginImportSession_(ansiPath, 0, 0); }
  int32_t ImportDocument(void* record, ContentAllocator allocator) const { return importDocument_(record, allocator); }
  int32_t EndImportSession() const { return endImportSession_(); }

 private:
  std::string path_;
  void* handle_ = nullptr;
  GetPluginInfoFunction getPluginInfo_ = nullptr;
  BeginImportSessionFunction beginImportSession_ = nullptr;
  ImportDocumentFunction importDocument_ = nullptr;
  EndImportSessionFunction endImportSession_ = nullptr;
};

// The Arvoline.so beside the running program; where there is none, the
// installed one (lib/arvoline/ next to the program's bin/).
std::string DefaultPluginPath();
