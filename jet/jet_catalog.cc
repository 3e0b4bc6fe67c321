#include "jet/jet_catalog.h"

#include <set>
#include <utility>

#include "jet/jet_table_cursor.h"

JetCatalog::JetCatalog(const std::shared_ptr<const JetFile>& file) {
  JetTableCursor cursor(file, u"MSysObjects", kDefinitionPage);
  const int id = cursor.ColumnIndex(u"Id"), parentId = cursor.ColumnIndex(u"ParentId"),
            name = cursor.ColumnIndex(u"Name"), type = cursor.ColumnIndex(u"Type");
  if (id < 0 || name < 0 || type < 0) throw EJetError(u"The system catalog lacks Id, Name or Type.");
  for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
    const Variant objectName = cursor.Value(static_cast<size_t>(name));
    const Variant objectId = cursor.Value(static_cast<size_t>(id));
    const Variant objectType = cursor.Value(static_cast<size_t>(type));
    if (!objectName.IsString() || objectId.IsNull() || objectType.IsNull()) continue;
    Object o;
    o.name = objectName.AsStringRef();
    o.id = static_cast<int32_t>(objectId.ToInt64());
    o.type = static_cast<int32_t>(objectType.ToInt64());
    if (parentId >= 0) {
      const Variant parent = cursor.Value(static_cast<size_t>(parentId));
      if (!parent.IsNull()) o.parentId = static_cast<int32_t>(parent.ToInt64());
    }
    objects_.push_back(std::move(o));
  }
  // Names are unique within a container, letter case ignored; two objects of
  // one name would make every lookup of it a guess.
  std::set<std::pair<int32_t, UnicodeString>> names;
  for (const Object& o : objects_)
    if (!names.insert({o.parentId, UpperCase(o.name)}).second)
      throw EJetError(FormatText(u"The catalog holds two objects named '%s'.", {o.name}));
}

const JetCatalog::Object* JetCatalog::FindTable(UnicodeStringView name) const {
  for (const Object& o : objects_)
    if (o.IsLocalTable() && SameText(o.name, name)) return &o;
  return nullptr;
}

std::string JetCatalog::TableProperties(const std::shared_ptr<const JetFile>& file, uint32_t definitionPage) {
  JetTableCursor cursor(file, u"MSysObjects", kDefinitionPage);
  const int id = cursor.ColumnIndex(u"Id"), type = cursor.ColumnIndex(u"Type"),
            properties = cursor.ColumnIndex(u"LvProp");
  if (id < 0 || type < 0) throw EJetError(u"The system catalog lacks Id, Name or Type.");
  if (properties < 0) return {};
  for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
    Object o;
    const Variant objectId = cursor.Value(static_cast<size_t>(id));
    const Variant objectType = cursor.Value(static_cast<size_t>(type));
    if (objectId.IsNull() || objectType.IsNull()) continue;
    o.id = static_cast<int32_t>(objectId.ToInt64());
    o.type = static_cast<int32_t>(objectType.ToInt64());
    if (!o.IsLocalTable() || o.DefinitionPage() != definitionPage) continue;
    const Variant blob = cursor.Value(static_cast<size_t>(properties));
    if (blob.Type() != VarType::ByteArray) return {};
    return std::string(blob.AsBytes().begin(), blob.AsBytes().end());
  }
  return {};
}
