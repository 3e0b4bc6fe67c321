// RecordStore: the rows of an open dataset, their natural (insertion) order,
// the current index order and the change log.
//
// Ownership: the store owns every row (Record) it holds and every deleted
// row still kept by the change log; Record pointers it hands out stay valid
// until that row is removed for good (Remove without a log, Reset, Merge,
// CancelUpdates of its insertion).
//
// The natural order is a list threaded through the rows (constant-time
// append, insert, removal and step). The index is a sorted array of row
// pointers, 8 bytes a row: a keyed search and a step to the neighbour are
// binary searches (logarithmic); equal keys keep their natural order.
//
// Rows added while an index is chosen wait until the next operation that
// needs the order (a step, a search, a removal); the waiting rows are then
// sorted once and merged into the array. Loading n rows and then searching
// therefore costs O(n log n) in all. A single row posted after the index was
// built costs one merge, O(n) moves of pointers, and so does taking a
// settled row out (Remove, or Replace with a different key; a Replace that
// keeps the key leaves the row where it is). Rows waiting for a unique index
// are kept in a small ordered tree instead, so that each uniqueness check
// stays logarithmic; the tree is emptied into the array at the same points.
// A row's key values are never changed while it sits in the index: Replace
// takes it out first.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string_view>
#include <vector>

#include "dataset/field_value.h"
#include "dataset/record.h"

// One field of an index key.
struct IndexKeyPart {
  int field = 0;
  TextStorage text = TextStorage::kNone;  // how to fold the case of its text
};

struct IndexKey {
  std::vector<IndexKeyPart> parts;
  bool caseInsensitive = false;
  bool descending = false;
  bool unique = false;
};

// Compares the first `count` parts of two value rows (one value per field)
// by `key` (direction included): <0, 0, >0.
int CompareKeyValues(const IndexKey& key, const FieldValue* a, const FieldValue* b, size_t count);
// Case-folded comparison of two texts stored as `text` (ANSI or UTF-8).
int CompareTextIgnoringCase(TextStorage text, std::string_view a, std::string_view b);

class RecordStore {
 public:
  RecordStore();
  ~RecordStore();
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;

  // Drops every row, the log and the index.
  void Reset();
  // Drops every row and the log; keeps the index.
  void Clear();
  size_t Count() const { return count_; }

  // Orders the rows by `key` from now on (nullptr: natural order).
  void SetIndex(const IndexKey* key);
  const IndexKey* Index() const { return key_.get(); }

  // Navigation in the current order; nullptr past either end.
  Record* First() const;
  Record* Last() const;
  Record* Next(const Record* r) const;
  Record* Prior(const Record* r) const;

  // Adds a row before `before` in the natural order (nullptr: at the end).
  // Fails with EDatabaseError "Key violation." when a unique index already
  // holds the key.
  // `values` is left untouched when the call fails.
  Record* Add(std::vector<FieldValue>&& values, const Record* before);
  // Replaces a row's values and moves it to its new place in the index
  // (same failure as Add).
  void Replace(Record* r, std::vector<FieldValue>&& values);
  void Remove(Record* r);

  // The first row in index order whose first `count` key fields equal those
  // of `key` (a full value row, read at the key's field positions), or
  // nullptr. Requires an index.
  Record* FindKey(const std::vector<FieldValue>& key, size_t count) const;

  // The first row in the current order for which `match` answers true, or nullptr.
  template <typename Match>
  Record* FindFirst(Match match) const {
    if (key_) {
      Settle();
      for (const IndexEntry& e : order_)
        if (match(*e.record)) return e.record;
      return nullptr;
    }
    for (Record* r = head_; r; r = r->next)
      if (match(*r)) return r;
    return nullptr;
  }
  // True when the current index is unique and two rows hold the same key.
  bool HasDuplicateKeys() const;

  // The change log: while on, additions, changes and removals are recorded
  // so that CancelUpdates can undo them.
  void SetLogging(bool on) { logging_ = on; }
  bool Logging() const { return logging_; }
  int ChangeCount() const { return static_cast<int>(log_.size()); }
  void MergeChangeLog();
  void CancelUpdates();

 private:
  // The first eight bytes of the first key field, big-endian and padded
  // with zeros, when that field is text compared byte by byte (0 for null
  // and for other keys). Two different prefixes order their rows the way
  // the whole keys do, so most comparisons end without touching the rows,
  // which lie scattered in memory.
  struct SearchKey {
    const FieldValue* values;
    size_t count;
    uint64_t prefix;
  };
  struct IndexEntry {
    uint64_t prefix;
    Record* record;
  };
  // Orders rows by key, then by natural position so equal keys keep their
  // insertion order. A search key sorts before the rows it equals.
  // Inline: sorting and searching the index call them millions of times,
  // and the prefixes nearly always decide.
  struct KeyLess {
    using is_transparent = void;
    const IndexKey* key;
    bool operator()(const IndexEntry& a, const IndexEntry& b) const {
      if (a.prefix != b.prefix) return PrefixLess(a.prefix, b.prefix);
      const int c = CompareKeyValues(*key, a.record->values(), b.record->values(), key->parts.size());
      if (c != 0) return c < 0;
      return a.record->seq < b.record->seq;
    }
    bool operator()(const IndexEntry& a, const SearchKey& k) const {
      if (a.prefix != k.prefix) return PrefixLess(a.prefix, k.prefix);
      return CompareKeyValues(*key, a.record->values(), k.values, k.count) < 0;
    }
    bool operator()(const SearchKey& k, const IndexEntry& a) const {
      if (a.prefix != k.prefix) return !PrefixLess(a.prefix, k.prefix);
      return CompareKeyValues(*key, a.record->values(), k.values, k.count) >= 0;
    }
    // Two different prefixes order their rows as the whole keys do.
    bool PrefixLess(uint64_t a, uint64_t b) const { return key->descending ? b < a : a < b; }
  };
  using RowOrder = std::vector<IndexEntry>;

  struct LogEntry {
    enum Kind { kAdded, kModified, kRemoved } kind;
    Record* record;
    std::vector<FieldValue> oldValues;             // kModified
    std::unique_ptr<Record, RecordDeleter> removed;  // kRemoved: the row, kept for undo
  };

  uint64_t SeqBefore(const Record* before);
  void Renumber();
  void Link(Record* r, Record* before);
  void Unlink(Record* r);
  // The row's place in the sorted array (end() when not there).
  RowOrder::const_iterator Find(const Record* r) const;
  // True when a row other than `self` in the run of rows from `it` (before
  // `end`) whose key equals that of `values` exists.
  template <typename It>
  bool HoldsKey(It it, It end, const FieldValue* values, const Record* self) const;
  // Sorts the waiting rows into the array.
  void Settle() const;
  // Empties the index array and the waiting rows, releasing their memory.
  void ClearOrder();
  void IndexRow(Record* r);
  void UnindexRow(Record* r);
  void CheckUnique(const FieldValue* values, const Record* self) const;
  void DestroyRows();
  uint64_t PrefixOf(const FieldValue* values) const;
  IndexEntry EntryOf(Record* r) const { return IndexEntry{PrefixOf(r->values()), r}; }
  SearchKey SearchKeyOf(const FieldValue* values, size_t count) const {
    return SearchKey{values, count, PrefixOf(values)};
  }

  Record* head_ = nullptr;
  Record* tail_ = nullptr;
  size_t count_ = 0;
  std::unique_ptr<IndexKey> key_;  // the current index; nullptr: natural order
  // The index proper and the rows waiting for it; Settle changes them, also when const.
  mutable RowOrder order_;
  mutable std::vector<Record*> pending_;                   // not unique: in natural order
  mutable std::unique_ptr<std::multiset<IndexEntry, KeyLess>> pendingUnique_;  // unique: ordered
  bool prefixed_ = false;  // the index's first field gives prefixes
  uint64_t nextSeq_ = 0;
  bool logging_ = false;
  std::vector<LogEntry> log_;
};
