#include "host/export_command.h"

#include <fstream>
#include <iostream>

#include "host/document_tree.h"
#include "host/host_error.h"
#include "host/html_export.h"
#include "host/import_run.h"
#include "host/json_export.h"
#include "host/markdown_export.h"
#include "host/opml_export.h"
#include "host/progress_bar.h"
#include "host/staged_output.h"
#include "host/text_export.h"
#include "platform/terminal.h"

namespace {

using FileWriter = void (*)(std::ostream&, const ExportInput&);

FileWriter FileWriterFor(ExportFormat format) {
  switch (format) {
    case ExportFormat::kJson: return WriteJsonExport;
    case ExportFormat::kText: return WriteTextExport;
    case ExportFormat::kHtml: return WriteHtmlExport;
    case ExportFormat::kOpml: return WriteOpmlExport;
    case ExportFormat::kMarkdown: break;
  }
  return nullptr;
}

}  // namespace

const std::vector<std::pair<std::string, ExportFormat>>& ExportFormatNames() {
  static const std::vector<std::pair<std::string, ExportFormat>> names = {
      {"json", ExportFormat::kJson}, {"text", ExportFormat::kText}, {"markdown", ExportFormat::kMarkdown},
      {"html", ExportFormat::kHtml}, {"opml", ExportFormat::kOpml}};
  return names;
}

void RunExport(const PluginModule& module, const std::string& ansiPath, const ExportOptions& options) {
  const bool markdown = options.format == ExportFormat::kMarkdown;
  // Checked before the import, so that an unusable output path costs nothing.
  StagedOutput output(options.output, markdown ? StagedOutput::Kind::kFolder : StagedOutput::Kind::kFile);
  ProgressBar progress(std::cerr, options.progress && StandardErrorIsTerminal());

  // Notes in the titles layout are written while the import runs; every
  // other output needs the whole outline first.
  if (markdown && options.markdownLayout == MarkdownLayout::kTitles) {
    MarkdownExport writer(output.Path(), options.markdownLayout);
    size_t count = 0;
    RunImport(module, ansiPath, [&](const ImportedDocument& document) {
      writer.Add(document);
      progress.Reading(++count);
    });
    writer.Finish();
    output.Commit();
    progress.Finish();
    return;
  }

  std::vector<ImportedDocument> documents;
  RunImport(module, ansiPath, [&](const ImportedDocument& document) {
    documents.push_back(document);
    progress.Reading(documents.size());
  });
  const DocumentTree tree = BuildDocumentTree(documents);
  size_t written = 0;
  progress.Writing(0, documents.size());
  const ExportInput input{tree, options.title, [&] { progress.Writing(++written, documents.size()); }};

  if (markdown) {
    WriteMarkdownExport(output.Path(), options.markdownLayout, input);
  } else {
    std::ofstream file(output.Path(), std::ios::binary);
    if (!file) throw HostError("cannot write " + options.output);
    FileWriterFor(options.format)(file, input);
    file.close();
    if (!file) throw HostError("cannot write " + options.output);
  }
  output.Commit();
  progress.Finish();
}
