// The export command: a whole import, then the documents written in one
// format. The output appears at its path only when complete (StagedOutput).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/markdown_export.h"
#include "host/plugin_module.h"

enum class ExportFormat { kJson, kText, kMarkdown, kHtml, kOpml };

// The names --to accepts.
const std::vector<std::pair<std::string, ExportFormat>>& ExportFormatNames();

struct ExportOptions {
  ExportFormat format = ExportFormat::kJson;
  std::string output;   // a file, or a folder for kMarkdown
  MarkdownLayout markdownLayout = MarkdownLayout::kTitles;
  std::string title;    // shown as the export's title (the database's name)
  bool progress = true; // draw a progress bar when standard error is a terminal
};

// Imports `ansiPath` through `module` and writes the export. Errors of the
// plug-in pass through as raised; the host's own are HostError.
void RunExport(const PluginModule& module, const std::string& ansiPath, const ExportOptions& options);
