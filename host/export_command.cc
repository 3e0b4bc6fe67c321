#include "host/export_command.h"

#include <functional>
#include <iostream>
#include <memory>

#include "host/html_export.h"
#include "host/import_run.h"
#include "host/json_export.h"
#include "host/markdown_export.h"
#include "host/opml_export.h"
#include "host/progress_bar.h"
#include "host/salvaged_outline.h"
#include "host/text_export.h"
#include "platform/terminal.h"
#include "runtime/utf8.h"

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

// Delivers every document of an import, in order, to its argument.
using DocumentSource = std::function<void(const std::function<void(const ImportedDocument&)>&)>;

// Each document goes to the writer as the source delivers it.
void StreamExport(const DocumentSource& source, const ExportOptions& options, ExportTarget& target,
                  ProgressBar& progress) {
  const std::unique_ptr<DocumentWriter> writer = WriterFor(options, target);
  OutlineCursor cursor;
  size_t written = 0;
  source([&](const ImportedDocument& document) {
    writer->Write(document, cursor.Next(document.level));
    target.Check();
    progress.Writing(++written);
  });
  writer->Finish();
}

void ExportFrom(const DocumentSource& source, const ExportOptions& options, ExportTarget& target) {
  ProgressBar progress(std::cerr, options.progress && StandardErrorIsTerminal());
  try {
    StreamExport(source, options, target, progress);
  } catch (const OutputError& error) {
    target.Fail(error);  // a file inside the Markdown folder, named as the person will see it
  }
  target.Complete();
  progress.Finish();
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
  ExportFrom([&](const auto& onDocument) { RunImport(module, ansiPath, onDocument); }, options, target);
}

std::vector<LostNote> RunSalvageExport(const std::string& path, const ExportOptions& options, ExportTarget& target) {
  const NodeTableNames& names = NodeTableNamesFor(FromUtf8(path));
  // Read before anything is written: a table that cannot be found costs no output.
  const SalvagedTable table = ReadSalvagedTable(path, names);
  std::vector<LostNote> lost;
  ExportFrom([&](const auto& onDocument) { lost = DeliverSalvagedDocuments(table, names, onDocument); }, options,
             target);
  return lost;
}
