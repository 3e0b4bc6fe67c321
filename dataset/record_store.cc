#include "dataset/record_store.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>

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

int ComparePart(const IndexKey& key, const IndexKeyPart& part, const FieldValue& x, const FieldValue& y) {
  int c;
  if (key.caseInsensitive && part.text != TextStorage::kNone && x.IsBytes() && y.IsBytes())
    c = CompareTextIgnoringCase(part.text, x.AsBytes(), y.AsBytes());
  else
    c = FieldValue::Compare(x, y);
  return key.descending ? -c : c;
}

bool SeqLess(const Record* a, const Record* b) { return a->seq < b->seq; }

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
    int c = ComparePart(key, part, a[static_cast<size_t>(part.field)], b[static_cast<size_t>(part.field)]);
    if (c != 0) return c;
  }
  return 0;
}

namespace {

// The lead copy first (it sits in the tree node), then the other parts.
int CompareEntry(const IndexKey& key, const FieldValue& lead, const std::vector<FieldValue>& values,
                 const FieldValue& otherLead, const std::vector<FieldValue>& otherValues, size_t count) {
  if (count == 0 || key.parts.empty()) return 0;
  int c = ComparePart(key, key.parts[0], lead, otherLead);
  if (c != 0 || count == 1) return c;
  size_t n = std::min(count, key.parts.size());
  for (size_t i = 1; i < n; ++i) {
    const IndexKeyPart& part = key.parts[i];
    c = ComparePart(key, part, values[static_cast<size_t>(part.field)], otherValues[static_cast<size_t>(part.field)]);
    if (c != 0) return c;
  }
  return 0;
}

}  // namespace

bool RecordStore::KeyLess::operator()(const IndexEntry& a, const IndexEntry& b) const {
  int c = CompareEntry(*key, a.lead, a.record->values, b.lead, b.record->values, key->parts.size());
  if (c != 0) return c < 0;
  return a.record->seq < b.record->seq;
}

bool RecordStore::KeyLess::operator()(const IndexEntry& a, const SearchKey& k) const {
  const FieldValue& lead = (*k.values)[static_cast<size_t>(key->parts[0].field)];
  return CompareEntry(*key, a.lead, a.record->values, lead, *k.values, k.count) < 0;
}

bool RecordStore::KeyLess::operator()(const SearchKey& k, const IndexEntry& a) const {
  const FieldValue& lead = (*k.values)[static_cast<size_t>(key->parts[0].field)];
  return CompareEntry(*key, a.lead, a.record->values, lead, *k.values, k.count) >= 0;
}

bool RecordStore::KeyLess::operator()(const IndexEntry& a, const Record* r) const {
  const FieldValue& lead = r->values[static_cast<size_t>(key->parts[0].field)];
  int c = CompareEntry(*key, a.lead, a.record->values, lead, r->values, key->parts.size());
  if (c != 0) return c < 0;
  return a.record->seq < r->seq;
}

bool RecordStore::KeyLess::operator()(const Record* r, const IndexEntry& a) const {
  const FieldValue& lead = r->values[static_cast<size_t>(key->parts[0].field)];
  int c = CompareEntry(*key, lead, r->values, a.lead, a.record->values, key->parts.size());
  if (c != 0) return c < 0;
  return r->seq < a.record->seq;
}

RecordStore::RecordStore() = default;

RecordStore::~RecordStore() { Reset(); }

void RecordStore::DestroyRows() {
  for (Record* r = head_; r;) {
    Record* next = r->next;
    delete r;
    r = next;
  }
  head_ = tail_ = nullptr;
  count_ = 0;
}

void RecordStore::Clear() {
  log_.clear();
  pending_.clear();
  if (index_) index_->clear();
  DestroyRows();
  nextSeq_ = 0;
}

void RecordStore::Reset() {
  Clear();
  index_.reset();
  key_.reset();
}

RecordStore::IndexEntry RecordStore::EntryOf(Record* r) const {
  return IndexEntry{r->values[static_cast<size_t>(key_->parts[0].field)], r};
}

RecordStore::IndexOrder::const_iterator RecordStore::Find(const Record* r) const {
  Settle();
  return index_->find(r);
}

void RecordStore::Settle() const {
  if (pending_.empty()) return;
  // Sorting the entries (first key field inline) is far cheaper than one
  // tree descent per row; inserting them in order at a hint next to the
  // previous one is then constant time each when they belong together.
  std::vector<IndexEntry> entries;
  entries.reserve(pending_.size());
  for (Record* r : pending_) entries.push_back(EntryOf(r));
  pending_.clear();
  KeyLess less{key_.get()};
  std::sort(entries.begin(), entries.end(), less);
  auto hint = index_->end();
  for (IndexEntry& e : entries) {
    Record* r = e.record;
    hint = index_->insert(hint, std::move(e));
    ++hint;
    r->indexed = true;
  }
}

void RecordStore::IndexRow(Record* r) {
  if (!index_) return;
  if (key_->unique) {
    Settle();
    index_->insert(EntryOf(r));
    r->indexed = true;
  } else {
    pending_.push_back(r);
  }
}

void RecordStore::UnindexRow(Record* r) {
  if (!index_) return;
  if (r->indexed) {
    index_->erase(index_->find(static_cast<const Record*>(r)));
    r->indexed = false;
    return;
  }
  // Usually the row just added: look from the end.
  auto it = std::find(pending_.rbegin(), pending_.rend(), r);
  if (it != pending_.rend()) pending_.erase(std::next(it).base());
}

void RecordStore::SetIndex(const IndexKey* key) {
  index_.reset();
  key_.reset();
  pending_.clear();
  for (Record* r = head_; r; r = r->next) r->indexed = false;
  if (!key || key->parts.empty()) return;
  key_ = std::make_unique<IndexKey>(*key);
  index_ = std::make_unique<IndexOrder>(KeyLess{key_.get()});
  for (Record* r = head_; r; r = r->next) pending_.push_back(r);
}

bool RecordStore::HasDuplicateKeys() const {
  if (!index_ || !key_->unique) return false;
  Settle();
  const Record* previous = nullptr;
  for (const IndexEntry& e : *index_) {
    if (previous && CompareKeyValues(*key_, previous->values, e.record->values, key_->parts.size()) == 0) return true;
    previous = e.record;
  }
  return false;
}

Record* RecordStore::First() const {
  Settle();
  if (index_) return index_->empty() ? nullptr : index_->begin()->record;
  return head_;
}

Record* RecordStore::Last() const {
  Settle();
  if (index_) return index_->empty() ? nullptr : index_->rbegin()->record;
  return tail_;
}

Record* RecordStore::Next(const Record* r) const {
  if (!index_) return r->next;
  auto it = Find(r);
  if (it == index_->end() || ++it == index_->end()) return nullptr;
  return it->record;
}

Record* RecordStore::Prior(const Record* r) const {
  if (!index_) return r->prev;
  auto it = Find(r);
  if (it == index_->end() || it == index_->begin()) return nullptr;
  return std::prev(it)->record;
}

void RecordStore::Link(Record* r, Record* before) {
  r->next = before;
  r->prev = before ? before->prev : tail_;
  if (r->prev)
    r->prev->next = r;
  else
    head_ = r;
  if (before)
    before->prev = r;
  else
    tail_ = r;
  ++count_;
}

void RecordStore::Unlink(Record* r) {
  if (r->prev)
    r->prev->next = r->next;
  else
    head_ = r->next;
  if (r->next)
    r->next->prev = r->prev;
  else
    tail_ = r->prev;
  r->prev = r->next = nullptr;
  --count_;
}

uint64_t RecordStore::SeqBefore(const Record* before) {
  if (!before) {
    nextSeq_ += kSeqStep;
    return nextSeq_;
  }
  uint64_t lo = before->prev ? before->prev->seq : 0;
  if (before->seq - lo < 2) {
    Renumber();
    lo = before->prev ? before->prev->seq : 0;
  }
  return lo + (before->seq - lo) / 2;
}

void RecordStore::Renumber() {
  // Rows kept by the change log are numbered with the others, so that undoing
  // their removal puts them back where they were. The relative order of all
  // numbers stays the same, so the index keeps its order.
  std::vector<Record*> removed;
  for (LogEntry& e : log_)
    if (e.kind == LogEntry::kRemoved) removed.push_back(e.removed.get());
  std::sort(removed.begin(), removed.end(), SeqLess);
  auto nextRemoved = removed.begin();
  uint64_t seq = 0;
  for (Record* r = head_; r; r = r->next) {
    for (; nextRemoved != removed.end() && (*nextRemoved)->seq < r->seq; ++nextRemoved)
      (*nextRemoved)->seq = (seq += kSeqStep);
    r->seq = (seq += kSeqStep);
  }
  for (; nextRemoved != removed.end(); ++nextRemoved) (*nextRemoved)->seq = (seq += kSeqStep);
  nextSeq_ = seq;
}

void RecordStore::CheckUnique(const std::vector<FieldValue>& values, const Record* self) const {
  if (!index_ || !key_->unique) return;
  Settle();
  SearchKey k{&values, key_->parts.size()};
  for (auto it = index_->lower_bound(k); it != index_->end(); ++it) {
    if (CompareKeyValues(*key_, it->record->values, values, key_->parts.size()) != 0) break;
    if (it->record != self) throw EDatabaseError(u"Key violation.");
  }
}

Record* RecordStore::Add(std::vector<FieldValue>&& values, const Record* before) {
  CheckUnique(values, nullptr);
  auto r = std::make_unique<Record>();
  r->seq = SeqBefore(before);
  r->values = std::move(values);
  Record* raw = r.release();
  Link(raw, const_cast<Record*>(before));
  IndexRow(raw);
  if (logging_) log_.push_back(LogEntry{LogEntry::kAdded, raw, {}, nullptr});
  return raw;
}

void RecordStore::Replace(Record* r, std::vector<FieldValue>&& values) {
  CheckUnique(values, r);
  UnindexRow(r);
  if (logging_) log_.push_back(LogEntry{LogEntry::kModified, r, std::move(r->values), nullptr});
  r->values = std::move(values);
  IndexRow(r);
}

void RecordStore::Remove(Record* r) {
  UnindexRow(r);
  Unlink(r);
  if (logging_)
    log_.push_back(LogEntry{LogEntry::kRemoved, r, {}, std::unique_ptr<Record>(r)});
  else
    delete r;
}

Record* RecordStore::FindKey(const std::vector<FieldValue>& key, size_t count) const {
  if (!index_ || count == 0) return nullptr;
  Settle();
  auto it = index_->lower_bound(SearchKey{&key, count});
  if (it == index_->end()) return nullptr;
  // Compared through the entry's own copy of the first field, so a one-field
  // key does not touch the row.
  const FieldValue& lead = key[static_cast<size_t>(key_->parts[0].field)];
  if (CompareEntry(*key_, it->lead, it->record->values, lead, key, count) != 0) return nullptr;
  return it->record;
}

void RecordStore::MergeChangeLog() { log_.clear(); }

void RecordStore::CancelUpdates() {
  // Latest first: each entry finds the rows as they were right after it.
  // Rows whose removal is undone are put back into the natural order at the
  // end, by their numbers, in one pass.
  std::unordered_set<Record*> restoredSet;
  while (!log_.empty()) {
    LogEntry e = std::move(log_.back());
    log_.pop_back();
    switch (e.kind) {
      case LogEntry::kAdded:
        // A row whose removal was just undone is not linked yet.
        if (restoredSet.erase(e.record) == 0) Unlink(e.record);
        UnindexRow(e.record);
        delete e.record;
        break;
      case LogEntry::kModified:
        UnindexRow(e.record);
        e.record->values = std::move(e.oldValues);
        IndexRow(e.record);
        break;
      case LogEntry::kRemoved: {
        Record* r = e.removed.release();
        IndexRow(r);
        restoredSet.insert(r);
        break;
      }
    }
  }
  if (restoredSet.empty()) return;
  std::vector<Record*> rows;
  rows.reserve(count_ + restoredSet.size());
  for (Record* r = head_; r; r = r->next) rows.push_back(r);
  rows.insert(rows.end(), restoredSet.begin(), restoredSet.end());
  std::sort(rows.begin(), rows.end(), SeqLess);
  head_ = tail_ = nullptr;
  count_ = 0;
  for (Record* r : rows) Link(r, nullptr);
}
