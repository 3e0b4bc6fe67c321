#include "tools/accessdb/database_writer.h"

#include <set>
#include <stdexcept>

#include "tools/accessdb/catalog.h"
#include "tools/accessdb/data_page.h"
#include "tools/accessdb/header_page.h"
#include "tools/accessdb/long_value_store.h"
#include "tools/accessdb/page_file.h"
#include "tools/accessdb/property_blob.h"
#include "tools/accessdb/row_encoder.h"
#include "tools/accessdb/table_definition.h"
#include "tools/accessdb/table_layout.h"
#include "tools/accessdb/text_codec.h"
#include "tools/accessdb/usage_map.h"

namespace accessdb {
namespace {

std::string Folded(const std::string& name) {
  std::string out;
  for (char c : name) out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
  return out;
}

}  // namespace

// The table being written: its layout, open data page and long-value pages.
struct OpenTable {
  std::string name;
  bool system = false;
  std::uint32_t definition_page = 0;
  TableLayout layout;
  std::unique_ptr<RowEncoder> encoder;
  std::vector<std::unique_ptr<LongValueStore>> long_values;
  std::unique_ptr<DataPage> page;
  PageSet data_pages;
  std::uint64_t rows = 0;
};

struct DatabaseWriter::Impl {
  Impl(const std::string& path, const DatabaseOptions& o)
      : options(o),
        format(FormatConstants(o.format)),
        code_page(std::make_unique<CodePageEncoder>(o.code_page)),
        file(path, format.page_size) {
    if (o.ace_version != 0 && (o.format != Format::kJet4 || o.ace_version < 2 || o.ace_version > 6)) {
      throw std::invalid_argument("an Access 2007-2019 file needs the Jet 4 layout and a version of 2 to 6");
    }
    for (int i = 0; i < 3; ++i) file.Allocate();  // header, global usage map, catalog
  }

  void Begin(const std::string& name, const std::vector<Column>& columns, bool system,
             std::uint32_t definition_page);
  void Add(const std::vector<Value>& values);
  void End();
  void Finish();
  void CheckOpen() const {
    if (finished) throw std::logic_error("database writer already finished");
  }

  DatabaseOptions options;
  const JetFormat& format;
  std::unique_ptr<CodePageEncoder> code_page;
  PageFile file;
  std::unique_ptr<OpenTable> table;
  std::vector<CatalogTable> tables;
  std::vector<LinkedTable> links;
  std::set<std::string> table_names;  // folded to lower case
  bool finished = false;
};

void DatabaseWriter::Impl::Begin(const std::string& name, const std::vector<Column>& columns,
                                 bool system, std::uint32_t definition_page) {
  CheckObjectName("table name", name);
  if (!format.jet4()) code_page->Encode(name);  // Jet 3 names must fit the code page
  if (!system && Folded(name).rfind("msys", 0) == 0) {
    throw std::invalid_argument("table name \"" + name + "\" is reserved for system tables");
  }
  if (table_names.count(Folded(name)) != 0) {
    throw std::invalid_argument("duplicate table name \"" + name + "\"");
  }
  auto t = std::make_unique<OpenTable>();
  t->layout = MakeTableLayout(format, name, columns);
  if (!format.jet4()) {
    for (const Column& c : columns) code_page->Encode(c.name);
  }
  if (table) End();
  t->name = name;
  t->system = system;
  t->definition_page = definition_page != 0 ? definition_page : file.Allocate();
  t->encoder = std::make_unique<RowEncoder>(format, t->layout, name, options.compress_text,
                                            code_page.get());
  for (int i = 0; i < t->layout.long_count; ++i) {
    t->long_values.push_back(std::make_unique<LongValueStore>(format, file));
  }
  table_names.insert(Folded(name));
  table = std::move(t);
}

void DatabaseWriter::Impl::Add(const std::vector<Value>& values) {
  if (!table) throw std::logic_error("AddRow without an open table");
  OpenTable& t = *table;
  t.encoder->Prepare(values, t.rows + 1);
  const Bytes& row = t.encoder->Encode(t.long_values);
  if (!t.page || !t.page->Fits(row.size())) {
    if (t.page) file.Write(t.page->page_number(), t.page->data());
    const std::uint32_t page = file.Allocate();
    t.data_pages.Add(page);
    t.page = std::make_unique<DataPage>(format, page, t.definition_page);
  }
  t.page->Add(row.data(), row.size());
  ++t.rows;
}

void DatabaseWriter::Impl::End() {
  if (!table) return;
  OpenTable& t = *table;
  if (t.rows > 0xFFFFFFFFull) throw std::runtime_error("too many rows");
  if (t.page) file.Write(t.page->page_number(), t.page->data());
  for (auto& lv : t.long_values) lv->Flush();

  // Usage-map rows: the table's own pages and free pages, then the same pair
  // for each long-value column. They live on data pages owned by no table.
  const PageSet no_pages;
  std::vector<Bytes> maps;
  maps.push_back(BuildUsageMap(format, t.data_pages, file));
  maps.push_back(BuildUsageMap(format, no_pages, file));
  for (auto& lv : t.long_values) {
    maps.push_back(BuildUsageMap(format, lv->pages(), file));
    maps.push_back(BuildUsageMap(format, no_pages, file));
  }
  std::vector<std::uint32_t> pointers;
  std::unique_ptr<DataPage> map_page;
  for (const Bytes& m : maps) {
    if (!map_page || !map_page->Fits(m.size())) {
      if (map_page) file.Write(map_page->page_number(), map_page->data());
      map_page = std::make_unique<DataPage>(format, file.Allocate(), 0);
    }
    pointers.push_back(DataPage::Pointer(map_page->page_number(), map_page->Add(m.data(), m.size())));
  }
  file.Write(map_page->page_number(), map_page->data());

  TableDefinition def;
  def.layout = &t.layout;
  def.system = t.system;
  def.row_count = static_cast<std::uint32_t>(t.rows);
  def.used_pages_map = pointers[0];
  def.free_pages_map = pointers[1];
  for (size_t i = 0; i < t.long_values.size(); ++i) {
    def.long_used_maps.push_back(pointers[2 + 2 * i]);
    def.long_free_maps.push_back(pointers[3 + 2 * i]);
  }
  WriteTableDefinition(format, def, t.definition_page, format.jet4() ? nullptr : code_page.get(), file);
  std::vector<Column> columns;
  for (const ColumnLayout& c : t.layout.columns) columns.push_back(c.column);
  tables.push_back({t.name, t.definition_page, t.system,
                    CalculatedColumnProperties(options.format, columns, options.code_page)});
  table.reset();
}

void DatabaseWriter::Impl::Finish() {
  End();
  std::vector<CatalogTable> listed;
  for (const SystemTable& s : EmptySystemTables()) {
    Begin(s.name, s.columns, true, 0);
    End();
  }
  listed.push_back({"MSysObjects", kCatalogPage, true});
  for (const CatalogTable& t : tables) {
    if (t.system) listed.push_back(t);
  }
  for (const CatalogTable& t : tables) {
    if (!t.system) listed.push_back(t);
  }
  Begin("MSysObjects", MSysObjectsColumns(), true, kCatalogPage);
  for (const auto& row : CatalogRows(options.format, options.creation_date, listed, links, options.code_page)) {
    Add(row);
  }
  End();

  // Page 1: the global map of free pages; a new file has none.
  DataPage global(format, kGlobalUsageMapPage, 0);
  const Bytes empty = BuildUsageMap(format, PageSet(), file);
  global.Add(empty.data(), empty.size());
  file.Write(kGlobalUsageMapPage, global.data());
  const Bytes header = BuildHeaderPage(format, options.code_page, options.creation_date, options.ace_version);
  file.Write(0, header.data());
  file.Close();
  finished = true;
}

DatabaseWriter::DatabaseWriter(const std::string& path, const DatabaseOptions& options)
    : impl_(std::make_unique<Impl>(path, options)) {}

DatabaseWriter::~DatabaseWriter() = default;

void DatabaseWriter::BeginTable(const std::string& name, const std::vector<Column>& columns) {
  impl_->CheckOpen();
  impl_->Begin(name, columns, false, 0);
}

void DatabaseWriter::BeginSystemTable(const std::string& name, const std::vector<Column>& columns) {
  impl_->CheckOpen();
  if (Folded(name).rfind("msys", 0) != 0) throw std::invalid_argument("a system table's name starts with MSys");
  impl_->Begin(name, columns, true, 0);
}

std::uint32_t DatabaseWriter::table_id() const {
  if (!impl_->table) throw std::logic_error("no open table");
  return impl_->table->definition_page;
}

void DatabaseWriter::AddRow(const std::vector<Value>& values) {
  impl_->CheckOpen();
  impl_->Add(values);
}

void DatabaseWriter::AddLinkedTable(const LinkedTable& link) {
  impl_->CheckOpen();
  CheckObjectName("table name", link.name);
  if (impl_->table_names.count(Folded(link.name)) != 0) {
    throw std::invalid_argument("duplicate table name \"" + link.name + "\"");
  }
  impl_->table_names.insert(Folded(link.name));
  impl_->links.push_back(link);
}

void DatabaseWriter::EndTable() {
  impl_->CheckOpen();
  impl_->End();
}

void DatabaseWriter::Finish() {
  impl_->CheckOpen();
  impl_->Finish();
}

std::uint64_t DatabaseWriter::rows_in_table() const {
  return impl_->table ? impl_->table->rows : 0;
}

}  // namespace accessdb
