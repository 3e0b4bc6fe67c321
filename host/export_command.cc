#include "host/export_command.h"

#include <iostream>
#include <memory>

#include "host/html_export.h"
#include "host/import_run.h"
#include "host/json_export.h"
#include "host/markdown_export.h"
#include "host/opml_export.h"
#include "host/progress_bar.h"
#include "host/text_export.h"
#include "platform/terminal.h"

namespace {

std::unique_ptr<DocumentWriter> WriterFor(const ExportOptions& options, ExportTarget& target) {
  switch (options.format) {
    case ExportFormat::kJson: return std::make_unique<JsonExportWriter>(target.Stream());
    case ExportFormat::kText: return std::make_unique<TextExportWriter>(target.Stream());
    case ExportFormat::kHtml: return std::make_unique<HtmlExportWriter>(target.Stream(), options.title);
    case ExportFormat::kOpml: return std::make_unique<OpmlExportWriter>(target.Stream(), options.title);
    case ExportFormat::kMarkdown: return std::make_unique<MarkdownExportWriter>(target.Folder(), options.markdownLayout);
  }
  return nullptr;
}

// Each document goes to the writer as the plug-in delivers it.
void StreamExport(const PluginModule& module, const std::string& ansiPath, const ExportOptions& options,
                  ExportTarget& target, ProgressBar& progress) {
  const std::unique_ptr<DocumentWriter> writer = WriterFor(options, target);
  OutlineCursor cursor;
  size_t written = 0;
  RunImport(module, ansiPath, [&](const ImportedDocument& document) {
    writer->Write(document, cursor.Next(document.level));
    target.Check();
    progress.Writing(++written);
  });
  writer->Finish();
}

}  // namespace

const std::vector<std::pair<std::string, ExportFormat>>& ExportFormatNames() {
  static const std::vector<std::pair<std::string, ExportFormat>> names = {
      {"json", ExportFormat::kJson}, {"text", ExportFormat::kText}, {"markdown", ExportFormat::kMarkdown},
      {"html", ExportFormat::kHtml}, {"opml", ExportFormat::kOpml}};
  return names;
}

void RunExport(const PluginModule& module, const std::string& ansiPath, const ExportOptions& options,
               ExportTarget& target) {
  ProgressBar progress(std::cerr, options.progress && StandardErrorIsTerminal());
  try {
    StreamExport(module, ansiPath, options, target, progress);
  } catch (const OutputError& error) {
    target.Fail(error);  // a file inside the Markdown folder, named as the person will see it
  }
  target.Complete();
  progress.Finish();
}
