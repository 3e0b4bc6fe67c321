// ImportRun: one whole import session driven exactly as a host application
// drives it.
//
// BeginImportSession with the ANSI path, ImportDocument with the host's
// content allocator until it answers 2, EndImportSession also when an error
// ends the session early. Each delivered document goes to the caller's
// callback as soon as it arrives.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/plugin_module.h"

struct ImportedDocument {
  int32_t level = 0;
  std::string title;    // UTF-8
  std::string content;  // UTF-8; empty when the plug-in delivered none
};

// Runs the session on `ansiPath`; errors of the plug-in pass through as the
// std::exception it raised.
void RunImport(const PluginModule& module, const std::string& ansiPath,
               const std::function<void(const ImportedDocument&)>& onDocument);
