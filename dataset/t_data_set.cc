#include "dataset/t_data_set.h"

#include <string_view>
#include <utility>

#include "dataset/field_factory.h"
#include "dataset/t_field_defs.h"
#include "dataset/t_index_defs.h"
#include "platform/code_page.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

const FieldValue& NullValue() {
  static const FieldValue kNull;
  return kNull;
}

UnicodeString DecodeText(TextStorage text, std::string_view bytes) {
  return text == TextStorage::kUtf8 ? FromUtf8(bytes) : FromAnsi(bytes);
}

}  // namespace

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() { NotifyDestruction(); }

void TDataSet::SetActive(bool active) {
  if (active == Active()) return;
  if (active) {
    InternalOpen();
    return;
  }
  state_ = dsInactive;
  editBuffer_.clear();
  keyBuffer_.clear();
  insertBefore_ = nullptr;
  modified_ = false;
  current_ = nullptr;
  bof_ = eof_ = true;
  store_.Reset();
  fields_.clear();
  autoIncLast_.clear();
  InternalClose();
}

void TDataSet::CheckActive() const {
  if (state_ == dsInactive) throw EDatabaseError(u"Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckInactive() const {
  if (state_ != dsInactive) throw EDatabaseError(u"Cannot perform this operation on an open dataset");
}

void TDataSet::OpenWithFields(const TFieldDefs& defs) {
  CheckInactive();
  std::vector<std::unique_ptr<TField>> fields;
  for (int i = 0; i < defs.Count(); ++i) {
    const TFieldDef& def = defs.Items(i);
    UnicodeString name = CutDataSetName(def.Name());
    for (const auto& f : fields)
      if (SameText(f->FieldName(), name))
        throw EDatabaseError(FormatText(u"Duplicate name '%s' in %s", {name, UnicodeString(u"TFieldDefs")}));
    std::unique_ptr<TField> field = CreateField(this, name, def.DataType(), def.Size(), i);
    if (!field) throw EDatabaseError(FormatText(u"Field '%s' is of an unknown type", {name}));
    field->SetRequired(def.Required());
    fields.push_back(std::move(field));
  }
  fields_ = std::move(fields);
  store_.Reset();
  keyBuffer_.assign(fields_.size(), FieldValue::Null());
  autoIncLast_.assign(fields_.size(), 0);
  editBuffer_.clear();
  modified_ = false;
  state_ = dsBrowse;
  ResetCursor();
}

TField* TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount())
    throw ERangeError(FormatText(u"List index out of bounds (%d)", {int64_t{index}}));
  return fields_[static_cast<size_t>(index)].get();
}

TField* TDataSet::FindField(UnicodeStringView name) const {
  // Callers mostly write a name as it is defined, and no two fields' names
  // are equal ignoring case (OpenWithFields refuses that): an exact match is
  // the one field the case-insensitive search would find.
  for (const auto& f : fields_)
    if (SameUnits(f->FieldName(), name)) return f.get();
  for (const auto& f : fields_)
    if (SameText(f->FieldName(), name)) return f.get();
  return nullptr;
}

TField* TDataSet::FieldByName(UnicodeStringView name) const {
  TField* f = FindField(name);
  if (!f) throw EDatabaseError(FormatText(u"Field '%s' not found", {UnicodeString(name)}));
  return f;
}

std::vector<int> TDataSet::FieldIndexes(UnicodeStringView names) const {
  std::vector<int> result;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find(u';', start);
    if (end == UnicodeStringView::npos) end = names.size();
    UnicodeString name = Trim(names.substr(start, end - start));
    if (!name.empty()) result.push_back(FieldByName(name)->Index());
    start = end + 1;
  }
  return result;
}

const FieldValue& TDataSet::ActiveValue(int fieldIndex) const {
  size_t i = static_cast<size_t>(fieldIndex);
  switch (state_) {
    case dsSetKey: return keyBuffer_[i];
    case dsEdit:
    case dsInsert: return editBuffer_[i];
    case dsBrowse: return current_ ? current_->values()[i] : NullValue();
    default: return NullValue();
  }
}

void TDataSet::SetActiveValue(int fieldIndex, FieldValue value) {
  size_t i = static_cast<size_t>(fieldIndex);
  switch (state_) {
    case dsSetKey: keyBuffer_[i] = std::move(value); return;
    case dsEdit:
    case dsInsert:
      editBuffer_[i] = std::move(value);
      modified_ = true;
      return;
    default: throw EDatabaseError(u"Dataset not in edit or insert mode");
  }
}

void TDataSet::MoveTo(Record* r) {
  current_ = r;
  bof_ = eof_ = false;
}

void TDataSet::ResetCursor() {
  current_ = store_.First();
  bof_ = true;
  eof_ = current_ == nullptr;
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  switch (state_) {
    case dsEdit:
    case dsInsert:
      if (modified_)
        Post();
      else
        Cancel();
      break;
    case dsSetKey: Post(); break;
    default: break;
  }
}

void TDataSet::First() {
  CheckBrowseMode();
  ResetCursor();
}

void TDataSet::Next() {
  CheckBrowseMode();
  if (eof_) return;
  Record* next = current_ ? store_.Next(current_) : nullptr;
  if (next) {
    current_ = next;
    bof_ = false;
  } else {
    eof_ = true;
  }
}

void TDataSet::Prior() {
  CheckBrowseMode();
  if (bof_) return;
  Record* prior = current_ ? store_.Prior(current_) : nullptr;
  if (prior) {
    current_ = prior;
    eof_ = false;
  } else {
    bof_ = true;
  }
}

void TDataSet::Last() {
  CheckBrowseMode();
  current_ = store_.Last();
  eof_ = true;
  bof_ = current_ == nullptr;
}

bool TDataSet::IsEmpty() const { return store_.Count() == 0; }

int TDataSet::RecordCount() const {
  CheckActive();
  return static_cast<int>(store_.Count());
}

void TDataSet::StartPending(TDataSetState state, Record* insertBefore) {
  editBuffer_.assign(fields_.size(), FieldValue::Null());
  insertBefore_ = insertBefore;
  modified_ = false;
  state_ = state;
}

void TDataSet::Append() {
  CheckBrowseMode();
  StartPending(dsInsert, nullptr);
}

void TDataSet::Insert() {
  CheckBrowseMode();
  StartPending(dsInsert, current_);
}

void TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return;
  CheckBrowseMode();
  if (!current_) {
    Insert();
    return;
  }
  editBuffer_.assign(current_->values(), current_->values() + current_->valueCount());
  modified_ = false;
  state_ = dsEdit;
}

void TDataSet::FillAutoIncrements() {
  for (size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i]->DataType() == ftAutoInc && editBuffer_[i].IsNull())
      editBuffer_[i] = FieldValue::Int(autoIncLast_[i] + 1);
}

void TDataSet::CheckRequired() const {
  for (size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i]->Required() && editBuffer_[i].IsNull())
      throw EDatabaseError(FormatText(u"Field '%s' must have a value", {fields_[i]->DisplayLabel()}));
}

void TDataSet::Post() {
  switch (state_) {
    case dsSetKey: state_ = dsBrowse; return;
    case dsEdit:
      CheckRequired();
      store_.Replace(current_, std::move(editBuffer_));
      break;
    case dsInsert:
      FillAutoIncrements();
      CheckRequired();
      current_ = store_.Add(std::move(editBuffer_), insertBefore_);
      break;
    default: return;
  }
  for (size_t i = 0; i < fields_.size(); ++i) {
    const FieldValue& v = current_->values()[i];
    if (fields_[i]->DataType() == ftAutoInc && v.IsInt() && v.AsInt() > autoIncLast_[i]) autoIncLast_[i] = v.AsInt();
  }
  editBuffer_.clear();
  insertBefore_ = nullptr;
  modified_ = false;
  state_ = dsBrowse;
  bof_ = eof_ = false;
}

void TDataSet::Cancel() {
  switch (state_) {
    case dsEdit:
    case dsInsert:
      editBuffer_.clear();
      insertBefore_ = nullptr;
      modified_ = false;
      state_ = dsBrowse;
      break;
    case dsSetKey: state_ = dsBrowse; break;
    default: break;
  }
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert || state_ == dsSetKey) {
    Cancel();
    return;
  }
  if (!current_) throw EDatabaseError(u"Cannot perform this operation on an empty dataset");
  if (state_ == dsEdit) Cancel();
  Record* next = store_.Next(current_);
  Record* follow = next ? next : store_.Prior(current_);
  store_.Remove(current_);
  current_ = follow;
  bof_ = eof_ = current_ == nullptr;
}

bool TDataSet::Locate(UnicodeStringView keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckBrowseMode();
  std::vector<int> keys = FieldIndexes(keyFields);
  if (keys.empty()) return false;
  std::vector<FieldValue> wanted(fields_.size());
  if (keys.size() == 1 && !keyValues.IsArray()) {
    wanted[static_cast<size_t>(keys[0])] = fields_[static_cast<size_t>(keys[0])]->ToStored(keyValues);
  } else {
    if (!keyValues.IsArray()) throw EVariantError(u"Invalid variant operation");
    const Variant::Array& values = keyValues.AsArray();
    if (values.size() < keys.size()) throw EVariantError(u"Variant array index out of bounds");
    for (size_t k = 0; k < keys.size(); ++k)
      wanted[static_cast<size_t>(keys[k])] = fields_[static_cast<size_t>(keys[k])]->ToStored(values[k]);
  }

  // The current index answers when its leading fields are the key fields
  // and its comparison is the exact one Locate makes.
  const IndexKey* index = store_.Index();
  if (options.Empty() && index && !index->caseInsensitive && keys.size() <= index->parts.size()) {
    bool leading = true;
    for (size_t k = 0; k < keys.size(); ++k) leading = leading && index->parts[k].field == keys[k];
    if (leading) {
      Record* r = store_.FindKey(wanted, keys.size());
      if (r) MoveTo(r);
      return r != nullptr;
    }
  }

  bool caseInsensitive = options.Contains(loCaseInsensitive);
  bool partial = options.Contains(loPartialKey);
  auto matches = [&](const Record& r) {
    for (int k : keys) {
      const FieldValue& have = r.values()[static_cast<size_t>(k)];
      const FieldValue& want = wanted[static_cast<size_t>(k)];
      TextStorage text = fields_[static_cast<size_t>(k)]->StoredText();
      if (text == TextStorage::kNone || !have.IsBytes() || !want.IsBytes() || (!caseInsensitive && !partial)) {
        if (have != want) return false;
        continue;
      }
      if (!caseInsensitive) {
        std::string_view h = have.AsBytes();
        std::string_view w = want.AsBytes();
        if (h.compare(0, w.size(), w) != 0 || (!partial && h.size() != w.size())) return false;
        continue;
      }
      UnicodeString h = UpperCase(DecodeText(text, have.AsBytes()));
      UnicodeString w = UpperCase(DecodeText(text, want.AsBytes()));
      if (h.compare(0, w.size(), w) != 0 || (!partial && h.size() != w.size())) return false;
    }
    return true;
  };
  Record* r = store_.FindFirst(matches);
  if (r) MoveTo(r);
  return r != nullptr;
}
