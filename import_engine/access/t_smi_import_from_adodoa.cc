#include "import_engine/access/t_smi_import_from_adodoa.h"

#include "platform/code_page.h"

TSMImportFromADODOA::TSMImportFromADODOA(TComponent* owner) : TSMImportBaseComponent(owner) {}

void TSMImportFromADODOA::FirstRow() {
  intCurRow = 0;
  if (!recordset.IsSet()) return;
  recordset.Call(u"MoveFirst");
  while (intCurRow < RowFirst() - 1) {
    ++intCurRow;
    recordset.Call(u"MoveNext");
  }
}

void TSMImportFromADODOA::NextRow() {
  if (!recordset.IsSet()) return;
  ++intCurRow;
  recordset.Call(u"MoveNext");
}

bool TSMImportFromADODOA::HasRow() {
  if (!recordset.IsSet()) return false;
  if (recordset.Get(u"Eof").ToBoolean()) return false;
  return static_cast<int64_t>(intCurRow) <= static_cast<int64_t>(RowLast()) - 1;
}

int32_t TSMImportFromADODOA::GetRowCount() {
  if (!recordset.IsSet()) return TSMImportBaseComponent::GetRowCount();
  int32_t count = recordset.Get(u"RecordCount").ToInt32();
  return count < 0 ? 10000 : count;
}

void TSMImportFromADODOA::ResetFieldLookup() {
  lookupBuilt_ = false;
  fieldObjects_.clear();
  fieldNames_.clear();
  nextSearch_ = 0;
}

void TSMImportFromADODOA::BuildFieldLookup() {
  Variant fields = recordset.Get(u"Fields");
  int32_t count = fields.Get(u"Count").ToInt32();
  for (int32_t i = 0; i < count; ++i) {
    Variant field = fields.Get(u"Item", {Variant(i)});
    UnicodeString name = field.Get(u"Name").ToString();
    // The first field of a name wins.
    if (FindField(name) < 0) fieldNames_.push_back(FieldName{std::move(name), fieldObjects_.size()});
    fieldObjects_.push_back(std::move(field));
  }
  nextSearch_ = 0;
  lookupBuilt_ = true;
}

int64_t TSMImportFromADODOA::FindField(UnicodeStringView name) {
  const size_t n = fieldNames_.size();
  for (size_t k = 0; k < n; ++k) {
    size_t i = nextSearch_ + k;
    if (i >= n) i -= n;
    if (SameUnits(fieldNames_[i].name, name) || SameTextAscii(fieldNames_[i].name, name)) {  // mostly written alike
      nextSearch_ = i + 1 < n ? i + 1 : 0;
      return static_cast<int64_t>(i);
    }
  }
  return -1;
}

void TSMImportFromADODOA::GetSourceValue(const UnicodeString& name, Variant& value) {
  if (recordset.IsSet() && !lookupBuilt_) BuildFieldLookup();
  const int64_t found = recordset.IsSet() ? FindField(name) : -1;
  if (found < 0) {
    TSMImportBaseComponent::GetSourceValue(name, value);  // the name itself
    return;
  }
  value = fieldObjects_[fieldNames_[static_cast<size_t>(found)].object].Get(u"Value");
  if (value.Type() == VarType::Decimal) {
    value = Variant(value.ToString());
  } else if (value.Type() == VarType::ByteArray) {
    // Every byte of the array (the whole of it, the last byte included).
    const Variant::Bytes& bytes = value.AsBytes();
    value = Variant(FromAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
  }
}
