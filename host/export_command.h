// The export command: a whole import, each document written in one format as
// it arrives.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/export_target.h"
#include "host/markdown_export.h"
#include "host/node_table_check.h"
#include "host/plugin_module.h"

enum class ExportFormat { kJson, kText, kMarkdown, kHtml, kOpml };

// The names --to accepts.
const std::vector<std::pair<std::string, ExportFormat>>& ExportFormatNames();

struct ExportOptions {
  ExportFormat format = ExportFormat::kJson;
  std::string output;   // a file, a folder for kMarkdown, or "-" for standard output
  MarkdownLayout markdownLayout = MarkdownLayout::kTitles;
  std::string title;    // shown as the export's title (the database's name)
  bool progress = true; // draw a progress bar when standard error is a terminal
};

// Imports `ansiPath` through `module` and writes the export to `target`.
// Errors of the plug-in pass through as raised; the host's own are HostError.
void RunExport(const PluginModule& module, const std::string& ansiPath, const ExportOptions& options,
               ExportTarget& target);

// Writes the export of the database at `path` (UTF-8) from the node table as
// the project's reader recovers it (salvaged_table.h, salvaged_outline.h),
// without the plug-in; returns the notes salvage changed or lost. Raises
// EJetError, before anything is written, when the table cannot be found.
std::vector<LostNote> RunSalvageExport(const std::string& path, const ExportOptions& options, ExportTarget& target);
