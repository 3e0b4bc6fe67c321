#include "dataset/t_client_data_set.h"

#include "runtime/exceptions.h"

TCustomClientDataSet::TCustomClientDataSet(TComponent* owner) : TDataSet(owner) { Store().SetLogging(true); }

TCustomClientDataSet::~TCustomClientDataSet() { NotifyDestruction(); }

TClientDataSet::~TClientDataSet() { NotifyDestruction(); }

void TCustomClientDataSet::InternalOpen() {
  // Rows come only from CreateDataSet here: there is no provider to read from.
  throw EDatabaseError(u"Missing data provider or data packet.");
}

void TCustomClientDataSet::InternalClose() {}

void TCustomClientDataSet::CreateDataSet() {
  CheckInactive();
  if (fieldDefs_.Count() == 0) throw EDatabaseError(u"No fields defined.  Cannot create dataset");
  OpenWithFields(fieldDefs_);
  if (!indexName_.empty()) {
    try {
      ApplyIndex();
    } catch (...) {
      SetActive(false);
      throw;
    }
  }
}

void TCustomClientDataSet::EmptyDataSet() {
  CheckActive();
  Cancel();
  Store().Clear();
  ResetCursor();
}

void TCustomClientDataSet::CancelUpdates() {
  if (!Active()) return;
  Cancel();
  Store().CancelUpdates();
  ResetCursor();
}

void TCustomClientDataSet::ApplyIndex() {
  if (indexName_.empty()) {
    Store().SetIndex(nullptr);
    return;
  }
  const TIndexDef& def = indexDefs_.Find(indexName_);
  IndexKey key;
  for (int field : FieldIndexes(def.Fields())) key.parts.push_back(IndexKeyPart{field, Fields(field)->StoredText()});
  if (key.parts.empty()) throw EDatabaseError(FormatText(u"Index '%s' not found", {indexName_}));
  key.caseInsensitive = def.Options().Contains(ixCaseInsensitive);
  key.descending = def.Options().Contains(ixDescending);
  key.unique = def.Options().Contains(ixUnique);
  Store().SetIndex(&key);
  if (Store().HasDuplicateKeys()) {
    Store().SetIndex(nullptr);
    throw EDatabaseError(u"Key violation.");
  }
}

void TCustomClientDataSet::SetIndexName(const UnicodeString& name) {
  if (!Active()) {
    indexName_ = name;
    return;
  }
  CheckBrowseMode();
  UnicodeString previous = indexName_;
  indexName_ = name;
  try {
    ApplyIndex();
  } catch (...) {
    indexName_ = previous;
    ApplyIndex();
    throw;
  }
  // The cursor stays on its row, now in the new order.
}

void TCustomClientDataSet::SetKey() {
  CheckBrowseMode();
  std::vector<FieldValue>& key = KeyBuffer();
  for (FieldValue& v : key) v = FieldValue::Null();
  SetState(dsSetKey);
}

bool TCustomClientDataSet::GotoKey() {
  CheckActive();
  CheckBrowseMode();
  const IndexKey* index = Store().Index();
  if (!index) throw EDatabaseError(u"No index currently active");
  Record* r = Store().FindKey(KeyBuffer(), index->parts.size());
  if (r) MoveTo(r);
  return r != nullptr;
}

bool TCustomClientDataSet::FindKey(const std::vector<Variant>& keyValues) {
  SetKey();
  const IndexKey* index = Store().Index();
  if (!index) {
    Cancel();
    throw EDatabaseError(u"No index currently active");
  }
  size_t count = std::min(keyValues.size(), index->parts.size());
  try {
    for (size_t i = 0; i < count; ++i) Fields(index->parts[i].field)->SetAsVariant(keyValues[i]);
  } catch (...) {
    Cancel();
    throw;
  }
  SetState(dsBrowse);
  Record* r = Store().FindKey(KeyBuffer(), count);
  if (r) MoveTo(r);
  return r != nullptr;
}
