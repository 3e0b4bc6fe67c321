#include "tests/importer/fake_ms_access_importer.h"

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <utility>

#include "dataset/t_client_data_set.h"
#include "loader/ms_access_importer.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

// The double never runs an import component; it only needs the type to be
// complete where the owning pointer is destroyed.
class TSMImportFromAccess {};

namespace {

using TableKey = std::pair<UnicodeString, UnicodeString>;

std::map<TableKey, FakeTable>& Registry() {
  static std::map<TableKey, FakeTable> tables;
  return tables;
}

const std::map<std::string, TSMIDataType>& TypeNames() {
  static const std::map<std::string, TSMIDataType> names = {
      {"string", itString}, {"integer", itInteger}, {"float", itFloat},   {"datetime", itDateTime},
      {"date", itDate},     {"time", itTime},       {"boolean", itBoolean}, {"blob", itBLOB},
      {"memo", itMEMO},     {"graphic", itGraphic},
  };
  return names;
}

Variant CellFromJson(const nlohmann::json& cell) {
  if (cell.is_null()) return Variant::Null();
  if (cell.is_boolean()) return Variant(cell.get<bool>());
  if (cell.is_number_integer()) return Variant(cell.get<int64_t>());
  if (cell.is_number()) return Variant(cell.get<double>());
  return Variant(FromUtf8(cell.get<std::string>()));
}

std::optional<FakeTable> TableFromFixtureFile(const UnicodeString& path, const UnicodeString& tableName) {
  std::ifstream in(ToUtf8(path), std::ios::binary);
  if (!in) return std::nullopt;
  nlohmann::json fixture = nlohmann::json::parse(in, nullptr, /*allow_exceptions=*/false);
  if (fixture.is_discarded()) return std::nullopt;
  const auto tables = fixture.find("tables");
  if (tables == fixture.end()) return std::nullopt;
  const auto entry = tables->find(ToUtf8(tableName));
  if (entry == tables->end()) return std::nullopt;
  FakeTable table;
  for (const auto& c : entry->value("columns", nlohmann::json::array())) {
    FakeColumn column;
    column.name = FromUtf8(c.at("name").get<std::string>());
    column.type = TypeNames().at(c.value("type", std::string("string")));
    column.size = c.value("size", 0);
    table.columns.push_back(column);
  }
  for (const auto& r : entry->value("rows", nlohmann::json::array())) {
    std::vector<Variant> row;
    for (const auto& cell : r) row.push_back(CellFromJson(cell));
    table.rows.push_back(std::move(row));
  }
  return table;
}

std::optional<FakeTable> FindTable(const UnicodeString& path, const UnicodeString& tableName) {
  auto it = Registry().find({path, tableName});
  if (it != Registry().end()) return it->second;
  return TableFromFixtureFile(path, tableName);
}

// What the real loader's structure handler and the import run do with the
// table's columns and rows.
void RunImport(TClientDataSet* dataSet, const UnicodeString& keyFieldName, const FieldSizes& fieldSizes,
               FakeTable& table) {
  for (FakeColumn& column : table.columns) {
    if (column.size == 0) column.size = fieldSizes.Get(column.name);
    const UnicodeString fieldName = column.name.substr(0, 31);
    switch (column.type) {
      case itString: dataSet->FieldDefs().Add(fieldName, ftString, column.size, false); break;
      case itBoolean: dataSet->FieldDefs().Add(fieldName, ftBoolean, 0, false); break;
      case itMEMO: dataSet->FieldDefs().Add(fieldName, ftMemo, column.size, false); break;
      default: dataSet->FieldDefs().Add(fieldName, ftString, 30, false); break;
    }
  }
  dataSet->CreateDataSet();
  dataSet->SetActive(true);
  dataSet->SetLogChanges(false);
  if (!keyFieldName.empty()) {
    const UnicodeString indexName = keyFieldName + u"Index";
    dataSet->IndexDefs().Add(indexName, keyFieldName, TIndexOptions{ixPrimary});
    dataSet->SetIndexName(indexName);
  }
  for (const std::vector<Variant>& row : table.rows) {
    dataSet->Append();
    for (size_t i = 0; i < row.size() && i < table.columns.size(); ++i) {
      // Columns whose name was cut have no field of their name, as with the
      // real loader's name matching.
      if (TField* field = dataSet->FindField(table.columns[i].name)) field->SetAsVariant(row[i]);
    }
    dataSet->Post();
  }
  dataSet->First();
}

}  // namespace

void FakeAccessDatabases::Register(const UnicodeString& path, const UnicodeString& tableName, FakeTable table) {
  Registry()[{path, tableName}] = std::move(table);
}

void FakeAccessDatabases::Clear() { Registry().clear(); }

FakeLoaderProbe& FakeLoaderProbe::Instance() {
  static FakeLoaderProbe probe;
  return probe;
}

MsAccessImporter::MsAccessImporter(TClientDataSet* dataSet) : dataSet_(dataSet) {
  ++FakeLoaderProbe::Instance().constructed;
  FakeLoaderProbe::Instance().dataSet = dataSet;
}

MsAccessImporter::~MsAccessImporter() { ++FakeLoaderProbe::Instance().destroyed; }

void MsAccessImporter::SetKeyField(const UnicodeString& name) {
  keyFieldName_ = name;
  FakeLoaderProbe::Instance().keyField = name;
}

void MsAccessImporter::Load(const UnicodeString& path, const UnicodeString& tableName) {
  FakeLoaderProbe::Instance().path = path;
  FakeLoaderProbe::Instance().tableName = tableName;
  if (path.empty()) throw Exception(u"Property SourceFileName wasn't specified.");
  if (tableName.empty()) throw Exception(u"Property TableName wasn't specified.");

  std::optional<FakeTable> table = FindTable(path, tableName);
  // A database that cannot be opened reports no columns; the real run then
  // fails to create the dataset, swallows that, and leaves it closed.
  if (!table || table->columns.empty()) return;
  // The real import run catches every failure inside it and only records
  // it; the dataset stays as far as the run got.
  try {
    RunImport(dataSet_, keyFieldName_, fieldSizes_, *table);
  } catch (const Exception&) {
  }
}

void MsAccessImporter::CreateStructure(TComponent*, TSMIColumns&) {
  throw std::logic_error("the test loader builds the structure in Load; nothing raises its structure event");
}
