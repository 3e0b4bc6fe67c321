#include "dataset/record_store.h"

#include <algorithm>
#include <iterator>

#include "platform/code_page.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

// Natural positions are spaced so that a row inserted between two others
// usually finds a free number; when none is left the rows are renumbered.
constexpr uint64_t kSeqStep = uint64_t{1} << 20;

UnicodeString Decode(TextStorage text, const std::string& bytes) {
  return text == TextStorage::kUtf8 ? FromUtf8(bytes) : FromAnsi(bytes);
}

}  // namespace

int CompareTextIgnoringCase(TextStorage text, const std::string& a, const std::string& b) {
  UnicodeString x = UpperCase(Decode(text, a));
  UnicodeString y = UpperCase(Decode(text, b));
  int c = x.compare(y);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareKeyValues(const IndexKey& key, const std::vector<FieldValue>& a, const std::vector<FieldValue>& b,
                     size_t count) {
  size_t n = std::min(count, key.parts.size());
  for (size_t i = 0; i < n; ++i) {
    const IndexKeyPart& part = key.parts[i];
    const FieldValue& x = a[static_cast<size_t>(part.field)];
    const FieldValue& y = b[static_cast<size_t>(part.field)];
    int c;
    if (key.caseInsensitive && part.text != TextStorage::kNone && x.IsBytes() && y.IsBytes())
      c = CompareTextIgnoringCase(part.text, x.AsBytes(), y.AsBytes());
    else
      c = FieldValue::Compare(x, y);
    if (c != 0) return key.descending ? -c : c;
  }
  return 0;
}

bool RecordStore::KeyLess::operator()(const Record* a, const Record* b) const {
  int c = CompareKeyValues(*key, a->values, b->values, key->parts.size());
  if (c != 0) return c < 0;
  return a->seq < b->seq;
}

bool RecordStore::KeyLess::operator()(const Record* a, const SearchKey& k) const {
  return CompareKeyValues(*key, a->values, *k.values, k.count) < 0;
}

bool RecordStore::KeyLess::operator()(const SearchKey& k, const Record* a) const {
  return CompareKeyValues(*key, a->values, *k.values, k.count) >= 0;
}

RecordStore::RecordStore() = default;

RecordStore::~RecordStore() { Reset(); }

void RecordStore::Clear() {
  log_.clear();
  if (index_) index_->clear();
  for (Record* r : natural_) Destroy(r);
  natural_.clear();
  nextSeq_ = 0;
}

void RecordStore::Reset() {
  Clear();
  index_.reset();
  key_.reset();
}

bool RecordStore::HasDuplicateKeys() const {
  if (!index_ || !key_->unique) return false;
  const Record* previous = nullptr;
  for (const Record* r : *index_) {
    if (previous && CompareKeyValues(*key_, previous->values, r->values, key_->parts.size()) == 0) return true;
    previous = r;
  }
  return false;
}

void RecordStore::SetIndex(const IndexKey* key) {
  index_.reset();
  key_.reset();
  if (!key) return;
  key_ = std::make_unique<IndexKey>(*key);
  index_ = std::make_unique<IndexOrder>(KeyLess{key_.get()});
  for (Record* r : natural_) index_->insert(r);
}

Record* RecordStore::First() const {
  if (index_) return index_->empty() ? nullptr : *index_->begin();
  return natural_.empty() ? nullptr : *natural_.begin();
}

Record* RecordStore::Last() const {
  if (index_) return index_->empty() ? nullptr : *index_->rbegin();
  return natural_.empty() ? nullptr : *natural_.rbegin();
}

Record* RecordStore::Next(const Record* r) const {
  Record* key = const_cast<Record*>(r);
  if (index_) {
    auto it = index_->find(key);
    if (it == index_->end() || ++it == index_->end()) return nullptr;
    return *it;
  }
  auto it = natural_.find(key);
  if (it == natural_.end() || ++it == natural_.end()) return nullptr;
  return *it;
}

Record* RecordStore::Prior(const Record* r) const {
  Record* key = const_cast<Record*>(r);
  if (index_) {
    auto it = index_->find(key);
    if (it == index_->end() || it == index_->begin()) return nullptr;
    return *std::prev(it);
  }
  auto it = natural_.find(key);
  if (it == natural_.end() || it == natural_.begin()) return nullptr;
  return *std::prev(it);
}

uint64_t RecordStore::SeqBefore(const Record* before) {
  if (!before) {
    nextSeq_ += kSeqStep;
    return nextSeq_;
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    auto it = natural_.find(const_cast<Record*>(before));
    if (it == natural_.end()) return SeqBefore(nullptr);
    uint64_t hi = before->seq;
    uint64_t lo = it == natural_.begin() ? 0 : (*std::prev(it))->seq;
    if (hi - lo >= 2) return lo + (hi - lo) / 2;
    Renumber();
  }
  throw EDatabaseError(u"Record position exhausted");  // unreachable after a renumbering
}

void RecordStore::Renumber() {
  // Keys of a std::set must not change in place: rebuild both orders. Rows
  // kept by the change log are renumbered with the others so that undoing
  // their removal puts them back where they were.
  std::vector<Record*> rows(natural_.begin(), natural_.end());
  std::vector<Record*> all = rows;
  for (LogEntry& e : log_)
    if (e.kind == LogEntry::kRemoved) all.push_back(e.removed.get());
  std::sort(all.begin(), all.end(), SeqLess());
  natural_.clear();
  if (index_) index_->clear();
  uint64_t seq = 0;
  for (Record* r : all) {
    seq += kSeqStep;
    r->seq = seq;
  }
  nextSeq_ = seq;
  for (Record* r : rows) Insert(r);
}

void RecordStore::Insert(Record* r) {
  natural_.insert(r);
  if (index_) index_->insert(r);
}

void RecordStore::Detach(Record* r) {
  if (index_) index_->erase(r);
  natural_.erase(r);
}

void RecordStore::CheckUnique(const std::vector<FieldValue>& values, const Record* self) const {
  if (!index_ || !key_->unique) return;
  SearchKey k{&values, key_->parts.size()};
  for (auto it = index_->lower_bound(k); it != index_->end(); ++it) {
    if (CompareKeyValues(*key_, (*it)->values, values, key_->parts.size()) != 0) break;
    if (*it != self) throw EDatabaseError(u"Key violation.");
  }
}

Record* RecordStore::Add(std::vector<FieldValue>&& values, const Record* before) {
  CheckUnique(values, nullptr);
  auto r = std::make_unique<Record>();
  r->seq = SeqBefore(before);
  r->values = std::move(values);
  Record* raw = r.release();
  Insert(raw);
  if (logging_) log_.push_back(LogEntry{LogEntry::kAdded, raw, {}, nullptr});
  return raw;
}

void RecordStore::Replace(Record* r, std::vector<FieldValue>&& values) {
  CheckUnique(values, r);
  if (index_) index_->erase(r);
  if (logging_) log_.push_back(LogEntry{LogEntry::kModified, r, std::move(r->values), nullptr});
  r->values = std::move(values);
  if (index_) index_->insert(r);
}

void RecordStore::Remove(Record* r) {
  Detach(r);
  if (logging_)
    log_.push_back(LogEntry{LogEntry::kRemoved, r, {}, std::unique_ptr<Record>(r)});
  else
    Destroy(r);
}

Record* RecordStore::FindKey(const std::vector<FieldValue>& key, size_t count) const {
  if (!index_) return nullptr;
  auto it = index_->lower_bound(SearchKey{&key, count});
  if (it == index_->end()) return nullptr;
  if (CompareKeyValues(*key_, (*it)->values, key, count) != 0) return nullptr;
  return *it;
}

void RecordStore::MergeChangeLog() { log_.clear(); }

void RecordStore::CancelUpdates() {
  // Latest first: each entry finds the rows as they were right after it.
  while (!log_.empty()) {
    LogEntry e = std::move(log_.back());
    log_.pop_back();
    switch (e.kind) {
      case LogEntry::kAdded:
        Detach(e.record);
        Destroy(e.record);
        break;
      case LogEntry::kModified:
        if (index_) index_->erase(e.record);
        e.record->values = std::move(e.oldValues);
        if (index_) index_->insert(e.record);
        break;
      case LogEntry::kRemoved:
        Insert(e.removed.release());
        break;
    }
  }
}
