#include "host/export_command.h"

#include <iostream>
#include <memory>

#include "host/document_tree.h"
#include "host/html_export.h"
#include "host/import_run.h"
#include "host/json_export.h"
#include "host/markdown_export.h"
#include "host/opml_export.h"
#include "host/progress_bar.h"
#include "host/text_export.h"
#include "platform/terminal.h"

namespace {

std::unique_ptr<DocumentWriter> WriterFor(ExportFormat format, std::ostream& out, const std::string& title) {
  switch (format) {
    case ExportFormat::kJson: return std::make_unique<JsonExportWriter>(out);
    case ExportFormat::kText: return std::make_unique<TextExportWriter>(out);
    case ExportFormat::kHtml: return std::make_unique<HtmlExportWriter>(out, title);
    case ExportFormat::kOpml: return std::make_unique<OpmlExportWriter>(out, title);
    case ExportFormat::kMarkdown: break;
  }
  return nullptr;
}

// Each document goes to the writer as the plug-in delivers it.
void StreamExport(const PluginModule& module, const std::string& ansiPath, const ExportOptions& options,
                  ExportTarget& target, ProgressBar& progress) {
  const std::unique_ptr<DocumentWriter> writer = WriterFor(options.format, target.Stream(), options.title);
  OutlineCursor cursor;
  size_t written = 0;
  RunImport(module, ansiPath, [&](const ImportedDocument& document) {
    writer->Write(document, cursor.Next(document.level));
    target.Check();
    progress.Writing(++written);
  });
  writer->Finish();
}

// The Markdown folder needs the whole outline first.
void FolderExport(const PluginModule& module, const std::string& ansiPath, const ExportOptions& options,
                  ExportTarget& target, ProgressBar& progress) {
  std::vector<ImportedDocument> documents;
  RunImport(module, ansiPath, [&](const ImportedDocument& document) {
    documents.push_back(document);
    progress.Reading(documents.size());
  });
  const DocumentTree tree = BuildDocumentTree(documents);
  size_t written = 0;
  progress.Writing(0, documents.size());
  const ExportInput input{tree, options.title, [&] { progress.Writing(++written, documents.size()); }};
  try {
    WriteMarkdownExport(target.Folder(), input);
  } catch (const OutputError& error) {
    target.Fail(error);
  }
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
  if (options.format == ExportFormat::kMarkdown)
    FolderExport(module, ansiPath, options, target, progress);
  else
    StreamExport(module, ansiPath, options, target, progress);
  target.Complete();
  progress.Finish();
}
