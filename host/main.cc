// arvoline-host: loads an Arvoline plug-in module and drives it the way a
// host application does.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include "host/code_page_choice.h"
#include "host/damage_report.h"
#include "host/database_format_check.h"
#include "host/database_path.h"
#include "host/export_command.h"
#include "host/host_error.h"
#include "host/import_run.h"
#include "host/outline_output.h"
#include "host/plugin_info_reader.h"
#include "host/plugin_module.h"
#include "platform/code_page.h"

namespace {

// Exit status of an export that completed but lost notes to damage.
constexpr int kExportedWithLosses = 3;

struct Options {
  std::string pluginPath;
  std::optional<int32_t> codePage;
  std::string database;
  std::string jsonFile;  // "-" for standard output
  ExportOptions exportOptions;
  bool quiet = false;
  bool salvage = false;
  std::optional<std::string> password;
};

const char kDescription[] =
    "Loads an Arvoline import plug-in (Arvoline.so) and drives it through its four entry\n"
    "points exactly as a host application does.\n"
    "\n"
    "Code page: the plug-in reads the database path, cuts the outline text and stores texts\n"
    "in the active ANSI code page. On Linux that code page follows the locale variables\n"
    "(LC_ALL, else LC_CTYPE, else LANG; the language decides, e.g. ru_* gives 1251, ja_* 932;\n"
    "anything else, C and POSIX included, gives 1252). --codepage N selects code page N for\n"
    "the plug-in by setting LC_ALL before it is loaded. The database path is passed in that\n"
    "code page; a path the code page cannot represent is refused.\n"
    "\n"
    "Before the plug-in is called, the host checks that the database path names a regular\n"
    "file it can read (\"error: notes.xtp: No such file or directory\"). When the plug-in\n"
    "cannot open the file (\"Cannot perform this operation on a closed dataset\"), the host says\n"
    "why: not an Access database, protected by a password, or encrypted with the Access 2007 or\n"
    "later scheme.\n"
    "\n"
    "Errors of the plug-in or of the host are printed as \"error: MESSAGE\" on standard error,\n"
    "with exit status 1. An export that completed but lost notes to damage in the database exits\n"
    "with status 3 (see 'arvoline-host export --help').";

// Loads the module into `module`, which the caller keeps until any error
// from it has been handled: an exception raised inside the module needs the
// module's code to report and destroy it.
void LoadModule(const Options& options, std::unique_ptr<PluginModule>& module) {
  if (options.codePage) SelectCodePage(*options.codePage);
  module = std::make_unique<PluginModule>(options.pluginPath.empty() ? DefaultPluginPath() : options.pluginPath);
}

int RunInfo(const Options& options, std::unique_ptr<PluginModule>& module) {
  LoadModule(options, module);
  std::cout << std::left;
  std::cout << "module:      " << module->Path() << '\n';
  PrintPluginInfo(std::cout, ReadPluginInfo(*module));
  return 0;
}

int RunImportCommand(const Options& options, std::unique_ptr<PluginModule>& module) {
  // The path is converted before the module is loaded, so that a refused
  // path never reaches the plug-in.
  const int32_t codePage = options.codePage ? *options.codePage : GetACP();
  if (options.codePage) LocaleForCodePage(codePage);  // refuses unknown pages early
  const std::string ansiPath = PathInCodePage(options.database, codePage);
  CheckDatabasePath(options.database);
  LoadModule(options, module);

  const bool jsonToStdout = options.jsonFile == "-";
  std::vector<ImportedDocument> documents;
  size_t count = 0;
  RunDiagnosingRefusedDatabase(options.database, [&] {
    RunImport(*module, ansiPath, [&](const ImportedDocument& document) {
      ++count;
      if (!jsonToStdout) PrintTreeLine(std::cout, document);
      if (!options.jsonFile.empty()) documents.push_back(document);
    });
  });
  if (!jsonToStdout) std::cout << count << (count == 1 ? " document\n" : " documents\n");

  if (jsonToStdout) {
    WriteJson(std::cout, documents);
  } else if (!options.jsonFile.empty()) {
    std::ofstream file(options.jsonFile, std::ios::binary);
    if (!file) throw HostError("cannot write " + options.jsonFile);
    WriteJson(file, documents);
    if (!file.flush()) throw HostError("cannot write " + options.jsonFile);
  }
  return 0;
}

// Salvage: the node table read by the host itself, the plug-in not loaded.
int RunSalvageCommand(Options& options) {
  if (options.codePage) SelectCodePage(*options.codePage);
  CheckDatabasePath(options.database);
  CheckDatabaseFormat(options.database, options.password.value_or(""));
  ExportTarget target(options.exportOptions.output, options.exportOptions.format == ExportFormat::kMarkdown,
                      options.database);
  options.exportOptions.title = std::filesystem::u8path(options.database).stem().u8string();
  options.exportOptions.progress = !options.quiet;
  const std::vector<LostNote> lost = RunSalvageExport(options.database, options.exportOptions, target);
  if (lost.empty()) return 0;
  std::cout.flush();
  ReportLostNotes(std::cerr, options.database, lost, DamageListPath(options.exportOptions.output));
  return kExportedWithLosses;
}

int RunExportCommand(Options& options, std::unique_ptr<PluginModule>& module) {
  if (options.salvage) return RunSalvageCommand(options);
  if (options.password) RefusePasswordWithoutSalvage(options.database);
  const int32_t codePage = options.codePage ? *options.codePage : GetACP();
  if (options.codePage) LocaleForCodePage(codePage);
  const std::string ansiPath = PathInCodePage(options.database, codePage);
  CheckDatabasePath(options.database);
  // The output is settled before the plug-in is loaded: an unusable one costs no import.
  ExportTarget target(options.exportOptions.output, options.exportOptions.format == ExportFormat::kMarkdown,
                      options.database);
  LoadModule(options, module);
  options.exportOptions.title = std::filesystem::u8path(options.database).stem().u8string();
  options.exportOptions.progress = !options.quiet;
  RunDiagnosingRefusedDatabase(options.database,
                               [&] { RunExport(*module, ansiPath, options.exportOptions, target); });
  // What the plug-in could not deliver, read from the database itself.
  const std::vector<LostNote> lost = FindLostNotes(options.database);
  if (lost.empty()) return 0;
  std::cout.flush();
  ReportLostNotes(std::cerr, options.database, lost, DamageListPath(options.exportOptions.output));
  return kExportedWithLosses;
}

const char kFooter[] =
      "Examples:\n"
      "  arvoline-host info\n"
      "  arvoline-host import notes.xtp                  tree of titles with content sizes\n"
      "  arvoline-host import notes.xtp --json out.json  tree, and every document as JSON\n"
      "  arvoline-host import notes.xrd --json -         JSON only, on standard output\n"
      "  arvoline-host export notes.xtp --to html -o notes.html\n"
      "  arvoline-host export notes.xtp --to markdown -o notes/   one .md file per document\n"
      "  arvoline-host export notes.xtp --to json -o -            JSON on standard output\n"
      "  arvoline-host --codepage 1251 import notes.xtp  plug-in runs under code page 1251\n"
      "  arvoline-host --plugin ./Other.so info\n"
      "Options may also follow the command. 'arvoline-host import --help' lists import's options.";

const char kExportFooter[] =
      "Each document is written as the plug-in delivers it. OUT is checked before the import: the\n"
      "database itself is refused, and every error names OUT and the system's reason\n"
      "(\"error: cannot write notes.html: No space left on device\"). A file or folder is written as\n"
      ".OUT.partial-XXXXXXXX beside OUT and renamed when complete; Ctrl-C, SIGTERM and SIGHUP remove\n"
      "it, and the next export to OUT removes one that SIGKILL left. A replaced file keeps its mode, a\n"
      "symbolic link is written through, a device or FIFO is written where it is.\n"
      "\n"
      "The HTML page works offline and opens quickly at any size: the documents stay text inside the\n"
      "page until shown; the first 300 in outline order are shown open, lists show 200 entries at a\n"
      "time, and #d1.2.3 opens that document. Without scripts every document shows in outline order.\n"
      "\n"
      "After the export the host reads the database's node table itself. A note whose record is\n"
      "missing or damaged (\"content lost\"), a row that cannot be read at all (\"lost entirely\")\n"
      "and a record no outline entry names (\"never reached\") are reported on standard error as\n"
      "\"warning: notes.xtp is damaged: ...\" with their outline positions, titles and keys, at most\n"
      "20 of them; the full list goes to OUT.damage.txt (notes.damage.txt for a Markdown folder\n"
      "notes/; none for -o -). The export itself is kept, and the exit status is 3: exported with\n"
      "losses. An undamaged database exits with status 0.\n"
      "\n"
      "SALVAGE: with --salvage the plug-in is not loaded; the host reads the node table with its own\n"
      "Access reader and builds the same documents (level, title and content, in the same code page).\n"
      "It finds the table's rows even where the usage map, the catalog or a page chain is damaged,\n"
      "reads every row as far as it can (a long value whose chain breaks keeps the part before the\n"
      "break), parses the outline up to its damage, and puts every record no outline entry reached\n"
      "under a top-level note \"Recovered notes\", titled \"KEY: first line of its text\", when the\n"
      "outline stops short or the root record is gone. It cannot recover bytes that are gone: a row\n"
      "whose key cannot be read, a zeroed or overwritten page, text changed inside a note. Every\n"
      "note salvage changed (\"content cut\", \"recovered\") or lost is in the damage report, and the\n"
      "exit status is then 3. The database is only read. A database protected by a password is read\n"
      "when --password PW matches its password; without --salvage, --password is refused.\n"
      "\n"
      "Examples:\n"
      "  arvoline-host export notes.xtp --to html -o notes.html\n"
      "  arvoline-host export notes.xtp --to markdown -o notes/   one .md file per document\n"
      "  arvoline-host export notes.xtp --to markdown --layout numbered -o notes/   names sort in order\n"
      "  arvoline-host export notes.xtp --to json -o -            JSON on standard output\n"
      "  arvoline-host export notes.xtp --salvage --to html -o notes.html   a damaged database\n"
      "  arvoline-host export notes.xtp --salvage --password PW --to html -o notes.html";

// The export command's options; what CLI11 cannot store in Options directly
// (the format's and the layout's names) goes to `choices`.
struct ExportChoices {
  std::string formatName;
  std::string layoutName;
  CLI::Option* layout = nullptr;
};

CLI::App* AddExportCommand(CLI::App& app, Options& options, ExportChoices& choices) {
  CLI::App* exportCommand = app.add_subcommand(
      "export",
      "Export a database: every document's title and text as JSON, plain text, Markdown, HTML or OPML");
  exportCommand->footer(kExportFooter);
  exportCommand->add_option("DATABASE", options.database, "Arvoline (.xtp) or Gleanery (.xrd) database file")->required();
  std::vector<std::string> formatNames;
  for (const auto& entry : ExportFormatNames()) formatNames.push_back(entry.first);
  exportCommand->add_option("--to", choices.formatName,
                            "json: the import's JSON with each document's plain text added;\n"
                            "text: one UTF-8 file of indented titles and texts;\n"
                            "markdown: a folder, one .md file per document, pictures beside (see --layout);\n"
                            "html: one self-contained page, quick at any size; opml: an OPML 2.0 outline.\n"
                            "A content that is not RTF is exported as text; control characters other\n"
                            "than tab and line ends are dropped from every format's titles and texts")
      ->required()
      ->type_name("FORMAT")
      ->check(CLI::IsMember(formatNames));
  exportCommand->add_option("-o,--output", options.exportOptions.output,
                            "File to write, a folder for markdown (\"notes/\" or \"notes\": new or empty);\n"
                            "\"-\" writes json, text, html or opml to standard output")
      ->required()
      ->type_name("OUT");
  choices.layout =
      exportCommand
          ->add_option("--layout", choices.layoutName,
                       "Markdown only. titles (default): a folder Obsidian opens as a vault and Joplin\n"
                       "imports as \"Markdown + Front Matter\": each note named by its title (\"Title.md\",\n"
                       "\"Title (2).md\" for a sibling's title again), a document with children a folder\n"
                       "\"Title\" with its own note \"Title/Title.md\", whose end links to its children in\n"
                       "their order; the order is also in each note's front matter (outline, order).\n"
                       "numbered: for file browsers, names sort in document order: \"001-Title.md\",\n"
                       "a document with children a folder \"001-Title\" with its own note \"index.md\"")
          ->type_name("LAYOUT")
          ->check(CLI::IsMember({"titles", "numbered"}));
  exportCommand->add_flag("-q,--quiet", options.quiet, "No progress bar (it is drawn only on a terminal anyway)");
  exportCommand->add_flag("--salvage", options.salvage,
                          "Read a damaged database with the host's own Access reader instead of the plug-in\n"
                          "(see SALVAGE below); an undamaged database exports exactly as without it");
  exportCommand->add_option("--password", options.password,
                            "With --salvage: the password of a password-protected database")
      ->type_name("PW");
  return exportCommand;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  CLI::App app(kDescription, "arvoline-host");
  app.footer(kFooter);
  app.require_subcommand(1);
  app.fallthrough();
  app.set_version_flag("--version", std::string("arvoline-host ") + ARVOLINE_VERSION, "Print the release version and exit");
  app.add_option("--plugin", options.pluginPath,
                 "Plug-in module to load (default: Arvoline.so beside this program, else the installed\n"
                 "module " ARVOLINE_PLUGIN_DIR_FROM_HOST "/Arvoline.so relative to it)")
      ->type_name("PATH");
  app.add_option("--codepage", options.codePage, "Run the plug-in under ANSI code page N (e.g. 1252, 1251, 932)")
      ->type_name("N");

  CLI::App* info = app.add_subcommand("info", "Print the plug-in's information record");
  CLI::App* import = app.add_subcommand(
      "import",
      "Import a database: prints the outline as an indented tree of titles, each with its content size");
  import->add_option("DATABASE", options.database, "Arvoline (.xtp) or Gleanery (.xrd) database file")->required();
  import->add_option("--json", options.jsonFile,
                     "Also write every document as {level, title, content} in delivery order to FILE;\n"
                     "\"-\" writes the JSON to standard output instead of the tree")
      ->type_name("FILE");

  ExportChoices choices;
  CLI::App* exportCommand = AddExportCommand(app, options, choices);

  CLI11_PARSE(app, argc, argv);
  for (const auto& [name, format] : ExportFormatNames())
    if (name == choices.formatName) options.exportOptions.format = format;
  if (choices.layoutName == "numbered") options.exportOptions.markdownLayout = MarkdownLayout::kNumbered;
  if (choices.layout->count() > 0 && options.exportOptions.format != ExportFormat::kMarkdown) {
    std::cerr << "error: --layout applies to --to markdown only\n";
    return 1;
  }

  std::unique_ptr<PluginModule> module;  // outlives the handler below
  try {
    if (info->parsed()) return RunInfo(options, module);
    if (exportCommand->parsed()) return RunExportCommand(options, module);
    return RunImportCommand(options, module);
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "error: " << e.what() << '\n';
    return 1;
  }
}
