#include "tools/accessdb/catalog.h"

#include "tools/accessdb/property_blob.h"

namespace accessdb {
namespace {

using T = ColumnType;

constexpr std::int64_t kRootParent = 0x0F000000;
constexpr std::int64_t kTablesContainer = 0x0F000001;
constexpr std::int64_t kDatabasesContainer = 0x0F000002;
constexpr std::int64_t kRelationshipsContainer = 0x0F000003;
constexpr std::int64_t kDatabaseObject = 0x0F000004;
constexpr std::int64_t kSystemObjectFlags = static_cast<std::int32_t>(0x80000000u);
constexpr std::int64_t kSystemTableFlags = static_cast<std::int32_t>(0x80000002u);

constexpr int kTypeTable = 1;
constexpr int kTypeDatabase = 2;
constexpr int kTypeContainer = 3;
constexpr int kTypeOdbcLinkedTable = 4;
constexpr int kTypeJetLinkedTable = 6;
constexpr std::int64_t kFirstLinkId = 0x01000000;  // ids of objects without pages of their own

}  // namespace

const std::vector<Column>& MSysObjectsColumns() {
  static const std::vector<Column> kColumns = {
      {"Id", T::kLong, 0},          {"ParentId", T::kLong, 0},
      {"Name", T::kText, 255},      {"Type", T::kInteger, 0},
      {"DateCreate", T::kDateTime, 0}, {"DateUpdate", T::kDateTime, 0},
      {"Owner", T::kBinary, 255},   {"Flags", T::kLong, 0},
      {"Database", T::kMemo, 0},    {"Connect", T::kMemo, 0},
      {"ForeignName", T::kText, 255}, {"RmtInfoShort", T::kBinary, 255},
      {"RmtInfoLong", T::kOle, 0},  {"Lv", T::kOle, 0},
      {"LvProp", T::kOle, 0},       {"LvModule", T::kOle, 0},
      {"LvExtra", T::kOle, 0},
  };
  return kColumns;
}

const std::vector<SystemTable>& EmptySystemTables() {
  static const std::vector<SystemTable> kTables = {
      {"MSysACEs",
       {{"ACM", T::kLong, 0}, {"FInheritable", T::kBoolean, 0}, {"ObjectId", T::kLong, 0},
        {"SID", T::kBinary, 255}}},
      {"MSysQueries",
       {{"Attribute", T::kByte, 0}, {"Expression", T::kText, 255}, {"Flag", T::kInteger, 0},
        {"LvExtra", T::kOle, 0}, {"Name1", T::kText, 255}, {"Name2", T::kText, 255},
        {"ObjectId", T::kLong, 0}, {"Order", T::kBinary, 255}}},
      {"MSysRelationships",
       {{"ccolumn", T::kLong, 0}, {"grbit", T::kLong, 0}, {"icolumn", T::kLong, 0},
        {"szColumn", T::kText, 64}, {"szObject", T::kText, 64},
        {"szReferencedColumn", T::kText, 64}, {"szReferencedObject", T::kText, 64},
        {"szRelationship", T::kText, 64}}},
  };
  return kTables;
}

std::vector<std::vector<Value>> CatalogRows(Format format, double creation_date,
                                            const std::vector<CatalogTable>& tables,
                                            const std::vector<LinkedTable>& links, int code_page) {
  std::vector<std::vector<Value>> rows;
  auto add = [&](std::int64_t id, std::int64_t parent, const std::string& name, int type,
                 std::int64_t flags, Value lv_prop) {
    std::vector<Value> r(MSysObjectsColumns().size());
    r[0] = Value::Int(id);
    r[1] = Value::Int(parent);
    r[2] = Value::Text(name);
    r[3] = Value::Int(type);
    r[4] = Value::DateTime(creation_date);
    r[5] = Value::DateTime(creation_date);
    r[7] = Value::Int(flags);
    r[14] = std::move(lv_prop);
    rows.push_back(std::move(r));
  };
  add(kTablesContainer, kRootParent, "Tables", kTypeContainer, kSystemObjectFlags, Value());
  add(kDatabasesContainer, kRootParent, "Databases", kTypeContainer, kSystemObjectFlags, Value());
  add(kRelationshipsContainer, kRootParent, "Relationships", kTypeContainer, kSystemObjectFlags,
      Value());
  const std::string version = format == Format::kJet4 ? "08.50" : "07.53";
  add(kDatabaseObject, kDatabasesContainer, "MSysDb", kTypeDatabase, kSystemObjectFlags,
      Value::Bytes(PropertyBlob(format, {{"", {{"AccessVersion", PropertyType::kText, version}}}}, code_page)));
  for (const CatalogTable& t : tables) {
    const std::int64_t flags = t.flags != 0 ? static_cast<std::int32_t>(t.flags) : t.system ? kSystemTableFlags : 0;
    add(t.definition_page, kTablesContainer, t.name, kTypeTable, flags,
        t.properties.empty() ? Value() : Value::Bytes(t.properties));
  }
  std::int64_t id = kFirstLinkId;
  for (const LinkedTable& l : links) {
    add(id++, kTablesContainer, l.name, l.odbc ? kTypeOdbcLinkedTable : kTypeJetLinkedTable, 0, Value());
    std::vector<Value>& r = rows.back();
    if (!l.database.empty()) r[8] = Value::Text(l.database);
    if (!l.connect.empty()) r[9] = Value::Text(l.connect);
    r[10] = Value::Text(l.foreign_name);
  }
  return rows;
}

}  // namespace accessdb
