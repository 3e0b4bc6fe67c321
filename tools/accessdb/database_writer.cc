#include "tools/accessdb/database_writer.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "tools/accessdb/catalog.h"
#include "tools/accessdb/complex_columns.h"
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

// Access marks the key of the owning row (extra flag 0x08), each value's own id
// (an autonumber, 0x04 in both flag bytes) and an attachment's columns (extra 0x10).
void MarkComplexTableColumns(const Column& owner_column, bool flat, TableLayout& layout) {
  constexpr std::uint8_t kAutonumber = 0x04, kComplexKey = 0x08, kAttachmentPart = 0x10;
  const size_t first = flat ? 1 : 0, end = layout.columns.size() - (flat ? 1 : 0);
  if (owner_column.complex_kind == ComplexKind::kAttachment) {
    for (size_t i = first; i < end; ++i) layout.columns[i].added_extra_flags = kAttachmentPart;
  }
  if (!flat) return;
  layout.columns.front().added_extra_flags = kComplexKey;
  layout.columns.back().added_flags = kAutonumber;
  layout.columns.back().added_extra_flags = kAutonumber;
}

}  // namespace

// The table being written: its layout, open data page and long-value pages.
struct OpenTable {
  std::string name;
  bool system = false;
  std::uint32_t catalog_flags = 0;  // 0: as `system` says
  std::uint32_t definition_page = 0;
  TableLayout layout;
  std::unique_ptr<RowEncoder> encoder;
  std::vector<std::unique_ptr<LongValueStore>> long_values;
  std::unique_ptr<DataPage> page;
  PageSet data_pages;
  std::uint64_t rows = 0;
  // The flat tables of its complex columns, written alongside it: the
  // column's index and the table.
  std::vector<std::pair<size_t, std::unique_ptr<OpenTable>>> flat_tables;
};

// A row of MSysComplexColumns, written by Finish() once the template tables are.
struct ComplexCatalogRow {
  Column column;
  std::uint32_t flat_table = 0;
  std::uint32_t owner = 0;
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
             std::uint32_t definition_page, std::uint32_t catalog_flags = 0);
  void Add(const std::vector<Value>& values);
  void End();
  void Finish();
  void CheckOpen() const {
    if (finished) throw std::logic_error("database writer already finished");
  }

  void CheckTableName(const std::string& name, bool system) const;
  // Numbers the complex columns of a kind that have no ComplexID yet.
  std::vector<Column> WithComplexIds(const std::vector<Column>& columns) const;
  std::unique_ptr<OpenTable> Open(const std::string& name, TableLayout layout, bool system,
                                  std::uint32_t definition_page);
  std::unique_ptr<OpenTable> OpenFlatTable(const OpenTable& owner, const Column& column, TableShape shape,
                                           TableLayout layout);
  void AddRow(OpenTable& t);  // the row its encoder has prepared
  void EndTable(OpenTable& t);
  void WriteComplexCatalog();

  DatabaseOptions options;
  const JetFormat& format;
  std::unique_ptr<CodePageEncoder> code_page;
  PageFile file;
  std::unique_ptr<OpenTable> table;
  std::vector<CatalogTable> tables;
  std::vector<LinkedTable> links;
  std::set<std::string> table_names;  // folded to lower case
  int last_complex_id = 0;
  std::vector<ComplexCatalogRow> complex_columns;
  bool finished = false;
};

void DatabaseWriter::Impl::CheckTableName(const std::string& name, bool system) const {
  CheckObjectName("table name", name);
  if (!format.jet4()) code_page->Encode(name);  // Jet 3 names must fit the code page
  if (!system && Folded(name).rfind("msys", 0) == 0) {
    throw std::invalid_argument("table name \"" + name + "\" is reserved for system tables");
  }
  if (table_names.count(Folded(name)) != 0) {
    throw std::invalid_argument("duplicate table name \"" + name + "\"");
  }
}

std::vector<Column> DatabaseWriter::Impl::WithComplexIds(const std::vector<Column>& columns) const {
  std::vector<Column> out = columns;
  int next = last_complex_id;
  std::set<int> used;
  for (const ComplexCatalogRow& r : complex_columns) used.insert(r.column.complex_id);
  for (const Column& c : columns) {
    if (c.type != ColumnType::kComplex || c.complex_kind == ComplexKind::kKeyOnly || c.complex_id == 0) continue;
    if (!used.insert(c.complex_id).second) {
      throw std::invalid_argument("column \"" + c.name + "\": ComplexID " + std::to_string(c.complex_id) + " is used twice");
    }
    next = std::max(next, c.complex_id);
  }
  for (Column& c : out) {
    if (c.type == ColumnType::kComplex && c.complex_kind != ComplexKind::kKeyOnly && c.complex_id == 0) c.complex_id = ++next;
  }
  return out;
}

std::unique_ptr<OpenTable> DatabaseWriter::Impl::Open(const std::string& name, TableLayout layout, bool system,
                                                      std::uint32_t definition_page) {
  auto t = std::make_unique<OpenTable>();
  t->name = name;
  t->system = system;
  t->layout = std::move(layout);
  t->definition_page = definition_page != 0 ? definition_page : file.Allocate();
  t->encoder = std::make_unique<RowEncoder>(format, t->layout, name, options.compress_text,
                                            options.long_values_in_row, code_page.get());
  for (int i = 0; i < t->layout.long_count; ++i) {
    t->long_values.push_back(std::make_unique<LongValueStore>(format, file));
  }
  table_names.insert(Folded(name));
  return t;
}

std::unique_ptr<OpenTable> DatabaseWriter::Impl::OpenFlatTable(const OpenTable& owner, const Column& column,
                                                               TableShape shape, TableLayout layout) {
  auto flat = Open(shape.name, std::move(layout), true, 0);
  flat->catalog_flags = kFlatTableFlags;
  complex_columns.push_back({column, flat->definition_page, owner.definition_page});
  return flat;
}

void DatabaseWriter::Impl::Begin(const std::string& name, const std::vector<Column>& given,
                                 bool system, std::uint32_t definition_page, std::uint32_t catalog_flags) {
  CheckTableName(name, system);
  const std::vector<Column> columns = WithComplexIds(given);
  TableLayout layout = MakeTableLayout(format, name, columns);
  if (!format.jet4()) {
    for (const Column& c : columns) code_page->Encode(c.name);
  }
  for (const Column& c : columns) {
    if (c.complex_kind == ComplexKind::kVersionHistory &&
        std::none_of(columns.begin(), columns.end(), [&](const Column& m) {
          return m.name == c.history_of && m.type == ColumnType::kMemo && !m.calculated;
        })) {
      throw std::invalid_argument("table \"" + name + "\": column \"" + c.name +
                                  "\": its history needs the table's memo column \"" + c.history_of + "\"");
    }
    if (c.type != ColumnType::kComplex && c.complex_kind != ComplexKind::kKeyOnly) {
      throw std::invalid_argument("table \"" + name + "\": column \"" + c.name + "\": only a complex column has a kind");
    }
  }
  // The flat tables of complex columns, checked before anything is opened.
  std::vector<std::pair<TableShape, TableLayout>> flats(columns.size());
  std::set<std::string> flat_names;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].type != ColumnType::kComplex || columns[i].complex_kind == ComplexKind::kKeyOnly) continue;
    try {
      flats[i].first = FlatTable(name, columns[i]);
      CheckTableName(flats[i].first.name, true);
      if (!flat_names.insert(Folded(flats[i].first.name)).second) {
        throw std::invalid_argument("duplicate table name \"" + flats[i].first.name + "\"");
      }
      flats[i].second = MakeTableLayout(format, flats[i].first.name, flats[i].first.columns);
    } catch (const std::invalid_argument& e) {
      throw std::invalid_argument("table \"" + name + "\": column \"" + columns[i].name + "\": " + e.what());
    }
    MarkComplexTableColumns(columns[i], true, flats[i].second);
  }
  if (table) End();
  table = Open(name, std::move(layout), system, definition_page);
  table->catalog_flags = catalog_flags;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (flats[i].first.name.empty()) continue;
    last_complex_id = std::max(last_complex_id, columns[i].complex_id);
    table->flat_tables.emplace_back(i, OpenFlatTable(*table, columns[i], std::move(flats[i].first),
                                                     std::move(flats[i].second)));
    table->catalog_flags = kComplexOwnerFlags;
  }
}

void DatabaseWriter::Impl::Add(const std::vector<Value>& values) {
  if (!table) throw std::logic_error("AddRow without an open table");
  OpenTable& t = *table;
  t.encoder->Prepare(values, t.rows + 1);
  // The values behind complex cells go to their flat tables; all of them are
  // checked before anything is written, so a bad one leaves nothing behind.
  std::vector<std::vector<std::vector<Value>>> flat_rows(t.flat_tables.size());
  for (size_t i = 0; i < t.flat_tables.size(); ++i) {
    auto& [index, flat] = t.flat_tables[i];
    try {
      flat_rows[i] = FlatRows(t.layout.columns[index].column, values[index]);
      for (auto& row : flat_rows[i]) {
        row.push_back(Value::Int(0));  // its own id, given when written
        flat->encoder->Prepare(row, flat->rows + 1);
      }
    } catch (const std::invalid_argument& e) {
      throw std::invalid_argument("table \"" + t.name + "\", row " + std::to_string(t.rows + 1) + ", column \"" +
                                  t.layout.columns[index].column.name + "\": " + e.what());
    }
  }
  for (size_t i = 0; i < t.flat_tables.size(); ++i) {
    OpenTable& flat = *t.flat_tables[i].second;
    for (auto& row : flat_rows[i]) {
      row.back() = Value::Int(static_cast<std::int64_t>(flat.rows + 1));
      flat.encoder->Prepare(row, flat.rows + 1);
      AddRow(flat);
    }
  }
  AddRow(t);
}

void DatabaseWriter::Impl::AddRow(OpenTable& t) {
  const Bytes& row = t.encoder->Encode(t.long_values);
  if (!t.page || !t.page->Fits(row.size())) {
    if (t.page) file.Write(t.page->page_number(), t.page->bytes());
    const std::uint32_t page = file.Allocate();
    t.data_pages.Add(page);
    t.page = std::make_unique<DataPage>(format, page, t.definition_page);
  }
  t.page->Add(View(row));
  ++t.rows;
}

void DatabaseWriter::Impl::End() {
  if (!table) return;
  EndTable(*table);
  for (auto& flat : table->flat_tables) EndTable(*flat.second);
  table.reset();
}

void DatabaseWriter::Impl::EndTable(OpenTable& t) {
  if (t.rows > 0xFFFFFFFFull) throw std::runtime_error("too many rows");
  if (t.page) file.Write(t.page->page_number(), t.page->bytes());
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
      if (map_page) file.Write(map_page->page_number(), map_page->bytes());
      map_page = std::make_unique<DataPage>(format, file.Allocate(), 0);
    }
    pointers.push_back(DataPage::Pointer(map_page->page_number(), map_page->Add(View(m))));
  }
  file.Write(map_page->page_number(), map_page->bytes());

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
  tables.push_back({t.name, t.definition_page, t.system, ColumnProperties(options.format, columns, options.code_page),
                    t.catalog_flags});
}

// Each kind's template table once, then MSysComplexColumns.
void DatabaseWriter::Impl::WriteComplexCatalog() {
  std::vector<std::pair<std::string, std::uint32_t>> templates;
  std::vector<std::vector<Value>> rows;
  for (const ComplexCatalogRow& r : complex_columns) {
    const TableShape shape = TemplateTable(r.column);
    auto known = std::find_if(templates.begin(), templates.end(), [&](const auto& t) { return t.first == shape.name; });
    if (known == templates.end()) {
      CheckTableName(shape.name, true);
      TableLayout layout = MakeTableLayout(format, shape.name, shape.columns);
      MarkComplexTableColumns(r.column, false, layout);
      table = Open(shape.name, std::move(layout), true, 0);
      table->catalog_flags = kTemplateTableFlags;
      templates.emplace_back(shape.name, table->definition_page);
      known = templates.end() - 1;
      End();
    }
    rows.push_back({Value::Text(r.column.name), Value::Int(known->second), Value::Int(r.flat_table),
                    Value::Int(r.owner), Value::Int(r.column.complex_id)});
  }
  Begin(kComplexCatalogName, ComplexCatalogColumns(), true, 0, kComplexCatalogFlags);
  for (const auto& row : rows) Add(row);
  End();
}

void DatabaseWriter::Impl::Finish() {
  End();
  if (!complex_columns.empty()) WriteComplexCatalog();
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
  global.Add(View(empty));
  file.Write(kGlobalUsageMapPage, global.bytes());
  const Bytes header = BuildHeaderPage(format, options.code_page, options.creation_date, options.ace_version);
  file.Write(0, View(header));
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
