#include "platform/dao/dao_complex_column_types.h"

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

int TemplateType(const JetCatalog& catalog, uint32_t templatePage) {
  for (const JetCatalog::Object& o : catalog.Objects()) {
    if (o.DefinitionPage() != templatePage || o.IsQuery()) continue;
    for (const auto& k : kKinds)
      if (SameText(o.name, k.templateName)) return k.daoType;
  }
  return kComplexTextDaoType;
}

}  // namespace

DaoComplexColumnTypes::DaoComplexColumnTypes(const std::shared_ptr<const JetFile>& file, const JetCatalog& catalog) {
  const JetCatalog::Object* table = catalog.FindTable(u"MSysComplexColumns");
  if (!table) return;
  try {
    JetTableCursor cursor(file, table->name, table->DefinitionPage());
    int id = -1, templateId = -1;
    for (size_t i = 0; i < cursor.Columns().size(); ++i) {
      if (SameText(cursor.Columns()[i].name, u"ComplexID")) id = static_cast<int>(i);
      if (SameText(cursor.Columns()[i].name, u"ComplexTypeObjectID")) templateId = static_cast<int>(i);
    }
    if (id < 0 || templateId < 0) return;
    for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
      try {
        const Variant complexId = cursor.Value(static_cast<size_t>(id));
        const Variant templateObject = cursor.Value(static_cast<size_t>(templateId));
        if (complexId.IsNull() || templateObject.IsNull()) continue;
        const uint32_t templatePage = static_cast<uint32_t>(templateObject.ToInt64()) & 0x00FFFFFF;
        types_[static_cast<int32_t>(complexId.ToInt64())] = TemplateType(catalog, templatePage);
      } catch (const EJetError&) {
      }
    }
  } catch (const EJetError&) {
    // No types at all: every complex column answers the default.
  }
}

int DaoComplexColumnTypes::TypeOf(int32_t complexId) const {
  auto it = types_.find(complexId);
  return it == types_.end() ? kComplexTextDaoType : it->second;
}
