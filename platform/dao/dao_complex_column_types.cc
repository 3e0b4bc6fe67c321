#include "platform/dao/dao_complex_column_types.h"

#include <iterator>

#include "jet/jet_table_cursor.h"

namespace {

constexpr int kComplexTextDaoType = 109;

// Access names the template table of each kind of complex column.
const struct {
  const char16_t* templateName;
  int daoType;
} kKinds[] = {
    {u"MSysComplexType_Attachment", 101}, {u"MSysComplexType_UnsignedByte", 102},
    {u"MSysComplexType_Short", 103},      {u"MSysComplexType_Long", 104},
    {u"MSysComplexType_IEEESingle", 105}, {u"MSysComplexType_IEEEDouble", 106},
    {u"MSysComplexType_GUID", 107},       {u"MSysComplexType_Decimal", 108},
    {u"MSysComplexType_Text", 109},
};

// Each version-history column has its own template, named by this prefix.
constexpr char16_t kHistoryTemplatePrefix[] = u"MSysComplexTypeVH_";

// The local table whose definition starts on `page`, or nullptr.
const JetCatalog::Object* TableAt(const JetCatalog& catalog, uint32_t page) {
  for (const JetCatalog::Object& o : catalog.Objects())
    if (o.IsLocalTable() && o.DefinitionPage() == page) return &o;
  return nullptr;
}

// The kind of column whose template table starts on `templatePage`.
void SetKind(const JetCatalog& catalog, uint32_t templatePage, DaoComplexColumnTypes::Column& column) {
  const JetCatalog::Object* o = TableAt(catalog, templatePage);
  if (!o) return;
  for (const auto& k : kKinds)
    if (SameText(o->name, k.templateName)) column.daoType = k.daoType;
  const size_t prefix = std::size(kHistoryTemplatePrefix) - 1;
  column.history = o->name.size() > prefix && SameText(UnicodeStringView(o->name).substr(0, prefix), kHistoryTemplatePrefix);
}


}  // namespace

DaoComplexColumnTypes::DaoComplexColumnTypes(const std::shared_ptr<const JetFile>& file, const JetCatalog& catalog) {
  const JetCatalog::Object* table = catalog.FindTable(u"MSysComplexColumns");
  if (!table) return;
  try {
    JetTableCursor cursor(file, table->name, table->DefinitionPage());
    const int id = cursor.ColumnIndex(u"ComplexID"), templateId = cursor.ColumnIndex(u"ComplexTypeObjectID"),
              name = cursor.ColumnIndex(u"ColumnName"), flatTableId = cursor.ColumnIndex(u"FlatTableID");
    if (id < 0 || templateId < 0) return;
    auto page = [](const Variant& objectId) { return static_cast<uint32_t>(objectId.ToInt64()) & 0x00FFFFFF; };
    for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
      try {
        const Variant complexId = cursor.Value(static_cast<size_t>(id));
        const Variant templateObject = cursor.Value(static_cast<size_t>(templateId));
        if (complexId.IsNull() || templateObject.IsNull()) continue;
        Column column;
        SetKind(catalog, page(templateObject), column);
        const Variant columnName = name < 0 ? Variant::Null() : cursor.Value(static_cast<size_t>(name));
        const Variant flat = flatTableId < 0 ? Variant::Null() : cursor.Value(static_cast<size_t>(flatTableId));
        const JetCatalog::Object* flatTable = flat.IsNull() ? nullptr : TableAt(catalog, page(flat));
        if (columnName.IsString() && flatTable) {
          column.name = columnName.AsStringRef();
          column.flatTable = flatTable->name;
          column.flatTablePage = flatTable->DefinitionPage();
        }
        columns_[static_cast<int32_t>(complexId.ToInt64())] = std::move(column);
      } catch (const EJetError&) {
      }
    }
  } catch (const EJetError&) {
    // No types at all: every complex column answers the default.
  }
}

int DaoComplexColumnTypes::TypeOf(int32_t complexId) const {
  const Column* c = Find(complexId);
  return c ? c->daoType : kComplexTextDaoType;
}

const DaoComplexColumnTypes::Column* DaoComplexColumnTypes::Find(int32_t complexId) const {
  auto it = columns_.find(complexId);
  return it == columns_.end() ? nullptr : &it->second;
}
