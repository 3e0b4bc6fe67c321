#include "dataset/record_store.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <unordered_set>

#include "dataset/prefix_radix_sort.h"
#include "platform/code_page.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

// Natural positions are spaced so that a row inserted between two others
// usually finds a free number; when none is left the rows are renumbered.
constexpr uint64_t kSeqStep = uint64_t{1} << 20;

UnicodeString Decode(TextStorage text, std::string_view bytes) {
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

int CompareTextIgnoringCase(TextStorage text, std::string_view a, std::string_view b) {
  UnicodeString x = UpperCase(Decode(text, a));
  UnicodeString y = UpperCase(Decode(text, b));
  int c = x.compare(y);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareKeyValues(const IndexKey& key, const FieldValue* a, const FieldValue* b, size_t count) {
  size_t n = std::min(count, key.parts.size());
  for (size_t i = 0; i < n; ++i) {
    const IndexKeyPart& part = key.parts[i];
    int c = ComparePart(key, part, a[static_cast<size_t>(part.field)], b[static_cast<size_t>(part.field)]);
    if (c != 0) return c;
  }
  return 0;
}

uint64_t RecordStore::PrefixOf(const FieldValue* values) const {
  if (!prefixed_) return 0;
  const FieldValue& v = values[static_cast<size_t>(key_->parts.front().field)];
  if (!v.IsBytes()) return 0;
  std::string_view bytes = v.AsBytes();
  uint64_t prefix = 0;
  for (size_t i = 0; i < 8; ++i)
    prefix = (prefix << 8) | (i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : 0u);
  return prefix;
}

RecordStore::RecordStore() = default;

RecordStore::~RecordStore() { Reset(); }

void RecordStore::DestroyRows() {
  for (Record* r = head_; r;) {
    Record* next = r->next;
    Record::Destroy(r);
    r = next;
  }
  head_ = tail_ = nullptr;
  count_ = 0;
}

void RecordStore::Clear() {
  log_.clear();
  ClearOrder();
  DestroyRows();
  nextSeq_ = 0;
}

void RecordStore::Reset() {
  Clear();
  pendingUnique_.reset();
  key_.reset();
}

void RecordStore::ClearOrder() {
  RowOrder().swap(order_);
  std::vector<Record*>().swap(pending_);
  if (pendingUnique_) pendingUnique_->clear();
}

RecordStore::RowOrder::const_iterator RecordStore::Find(const Record* r) const {
  Settle();
  auto it = std::lower_bound(order_.begin(), order_.end(), EntryOf(const_cast<Record*>(r)), KeyLess{key_.get()});
  return it != order_.end() && it->record == r ? it : order_.cend();
}

void RecordStore::Settle() const {
  if (pending_.empty() && (!pendingUnique_ || pendingUnique_->empty())) return;
  KeyLess less{key_.get()};
  RowOrder rows;
  rows.reserve(pending_.size() + (pendingUnique_ ? pendingUnique_->size() : 0));
  for (Record* r : pending_) rows.push_back(IndexEntry{PrefixOf(r->values()), r});
  std::vector<Record*>().swap(pending_);
  if (prefixed_) {
    const bool descending = key_->descending;
    PrefixRadixSort(rows, [descending](const IndexEntry& e) { return descending ? ~e.prefix : e.prefix; }, less);
  } else {
    std::sort(rows.begin(), rows.end(), less);
  }
  if (pendingUnique_ && !pendingUnique_->empty()) {
    // Already in order: merged like a second sorted run.
    size_t sorted = rows.size();
    rows.insert(rows.end(), pendingUnique_->begin(), pendingUnique_->end());
    pendingUnique_->clear();
    std::inplace_merge(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(sorted), rows.end(), less);
  }
  for (const IndexEntry& e : rows) e.record->indexed = true;
  if (order_.empty()) {
    order_.swap(rows);
    return;
  }
  size_t settled = order_.size();
  order_.insert(order_.end(), rows.begin(), rows.end());
  std::inplace_merge(order_.begin(), order_.begin() + static_cast<std::ptrdiff_t>(settled), order_.end(), less);
}

void RecordStore::IndexRow(Record* r) {
  if (!key_) return;
  r->indexed = false;
  if (key_->unique)
    pendingUnique_->insert(EntryOf(r));
  else
    pending_.push_back(r);
}

void RecordStore::UnindexRow(Record* r) {
  if (!key_) return;
  if (r->indexed) {
    auto it = Find(r);
    if (it != order_.end()) order_.erase(it);
    r->indexed = false;
    return;
  }
  if (pendingUnique_) {
    auto it = pendingUnique_->find(EntryOf(r));
    if (it != pendingUnique_->end()) {
      pendingUnique_->erase(it);
      return;
    }
  }
  // Usually the row just added: look from the end.
  auto it = std::find(pending_.rbegin(), pending_.rend(), r);
  if (it != pending_.rend()) pending_.erase(std::next(it).base());
}

void RecordStore::SetIndex(const IndexKey* key) {
  ClearOrder();
  pendingUnique_.reset();
  key_.reset();
  for (Record* r = head_; r; r = r->next) r->indexed = false;
  if (!key || key->parts.empty()) return;
  key_ = std::make_unique<IndexKey>(*key);
  // Text compared byte by byte orders like its leading bytes; case folding does not.
  prefixed_ = key_->parts.front().text != TextStorage::kNone && !key_->caseInsensitive;
  pendingUnique_ = std::make_unique<std::multiset<IndexEntry, KeyLess>>(KeyLess{key_.get()});
  pending_.reserve(count_);
  for (Record* r = head_; r; r = r->next) pending_.push_back(r);
}

bool RecordStore::HasDuplicateKeys() const {
  if (!key_ || !key_->unique) return false;
  Settle();
  for (size_t i = 1; i < order_.size(); ++i)
    if (CompareKeyValues(*key_, order_[i - 1].record->values(), order_[i].record->values(), key_->parts.size()) == 0)
      return true;
  return false;
}

Record* RecordStore::First() const {
  if (!key_) return head_;
  Settle();
  return order_.empty() ? nullptr : order_.front().record;
}

Record* RecordStore::Last() const {
  if (!key_) return tail_;
  Settle();
  return order_.empty() ? nullptr : order_.back().record;
}

Record* RecordStore::Next(const Record* r) const {
  if (!key_) return r->next;
  auto it = Find(r);
  if (it == order_.end() || ++it == order_.end()) return nullptr;
  return it->record;
}

Record* RecordStore::Prior(const Record* r) const {
  if (!key_) return r->prev;
  auto it = Find(r);
  if (it == order_.end() || it == order_.begin()) return nullptr;
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

template <typename It>
bool RecordStore::HoldsKey(It it, It end, const FieldValue* values, const Record* self) const {
  for (; it != end; ++it) {
    if (CompareKeyValues(*key_, it->record->values(), values, key_->parts.size()) != 0) return false;
    if (it->record != self) return true;
  }
  return false;
}

void RecordStore::CheckUnique(const FieldValue* values, const Record* self) const {
  if (!key_ || !key_->unique) return;
  // Rows the index was chosen over wait unsorted; sort them in once.
  if (!pending_.empty()) Settle();
  SearchKey k = SearchKeyOf(values, key_->parts.size());
  KeyLess less{key_.get()};
  if (HoldsKey(std::lower_bound(order_.begin(), order_.end(), k, less), order_.end(), values, self) ||
      HoldsKey(pendingUnique_->lower_bound(k), pendingUnique_->end(), values, self))
    throw EDatabaseError(u"Key violation.");
}

Record* RecordStore::Add(std::vector<FieldValue>&& values, const Record* before) {
  CheckUnique(values.data(), nullptr);
  std::unique_ptr<Record, RecordDeleter> r(Record::Create(std::move(values)));
  r->seq = SeqBefore(before);
  Record* raw = r.release();
  Link(raw, const_cast<Record*>(before));
  IndexRow(raw);
  if (logging_) log_.push_back(LogEntry{LogEntry::kAdded, raw, {}, nullptr});
  return raw;
}

void RecordStore::Replace(Record* r, std::vector<FieldValue>&& values) {
  CheckUnique(values.data(), r);
  // Equal keys order by natural position, so a row whose key compares equal
  // keeps its place and need not leave the index.
  const bool moves = key_ && CompareKeyValues(*key_, r->values(), values.data(), key_->parts.size()) != 0;
  if (moves) UnindexRow(r);
  if (logging_) log_.push_back(LogEntry{LogEntry::kModified, r, r->TakeValues(), nullptr});
  r->Assign(std::move(values));
  if (moves) IndexRow(r);
}

void RecordStore::Remove(Record* r) {
  UnindexRow(r);
  Unlink(r);
  if (logging_) {
    log_.push_back(LogEntry{LogEntry::kRemoved, r, {}, std::unique_ptr<Record, RecordDeleter>(r)});
    return;
  }
  // A removal while the log is off: what the log holds of the row (its
  // addition, its changes) has nothing left to undo, and must not reach the
  // released row.
  log_.erase(std::remove_if(log_.begin(), log_.end(),
                            [r](const LogEntry& e) { return e.kind != LogEntry::kRemoved && e.record == r; }),
             log_.end());
  Record::Destroy(r);
}

Record* RecordStore::FindKey(const std::vector<FieldValue>& key, size_t count) const {
  if (!key_ || count == 0) return nullptr;
  Settle();
  auto it = std::lower_bound(order_.begin(), order_.end(), SearchKeyOf(key.data(), count), KeyLess{key_.get()});
  if (it == order_.end() || CompareKeyValues(*key_, it->record->values(), key.data(), count) != 0) return nullptr;
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
        Record::Destroy(e.record);
        break;
      case LogEntry::kModified:
        UnindexRow(e.record);
        e.record->Assign(std::move(e.oldValues));
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
