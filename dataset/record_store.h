// RecordStore: the rows of an open dataset, their natural (insertion) order,
// the current index order and the change log.
//
// Ownership: the store owns every row (Record) it holds and every deleted
// row still kept by the change log; Record pointers it hands out stay valid
// until that row is removed for good (Remove without a log, Reset, Merge,
// CancelUpdates of its insertion).
//
// The natural order is a list threaded through the rows (constant-time
// append, insert, removal and step). The index is an ordered tree whose
// entries carry a copy of the first key field next to the row pointer, so a
// search compares mostly within the tree's own nodes instead of chasing each
// row; appending, a keyed search and a step to the neighbour are
// logarithmic, and a row posted after the index was chosen takes its place
// at once. A row's key values are never changed while it sits in the index:
// Replace takes it out first.
//
// Rows added to an index that is not unique wait in a pending list until
// the next operation that needs the order (a step, a search, a removal);
// they are then sorted once and threaded into the tree together. Loading
// many rows therefore costs one sort instead of a tree descent per row, and
// the tree's nodes come out allocated in key order.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "dataset/field_value.h"

struct Record {
  uint64_t seq = 0;  // increases along the natural order
  Record* prev = nullptr;  // natural order neighbours
  Record* next = nullptr;
  bool indexed = false;  // in the index tree (not pending)
  std::vector<FieldValue> values;
};

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

// Compares the first `count` parts of two value rows by `key` (direction
// included): <0, 0, >0.
int CompareKeyValues(const IndexKey& key, const std::vector<FieldValue>& a, const std::vector<FieldValue>& b,
                     size_t count);
// Case-folded comparison of two texts stored as `text` (ANSI or UTF-8).
int CompareTextIgnoringCase(TextStorage text, const std::string& a, const std::string& b);

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
    if (index_) {
      Settle();
      for (const IndexEntry& e : *index_)
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
  struct SearchKey {
    const std::vector<FieldValue>* values;
    size_t count;
  };
  struct IndexEntry {
    FieldValue lead;  // copy of the row's first key field
    Record* record;
  };
  // Orders by key, then by natural position so equal keys keep their
  // insertion order. A search key sorts before the rows it equals.
  struct KeyLess {
    using is_transparent = void;
    const IndexKey* key;
    bool operator()(const IndexEntry& a, const IndexEntry& b) const;
    bool operator()(const IndexEntry& a, const SearchKey& k) const;
    bool operator()(const SearchKey& k, const IndexEntry& a) const;
    // A row looked up by itself (its own values and position), without copying its key.
    bool operator()(const IndexEntry& a, const Record* r) const;
    bool operator()(const Record* r, const IndexEntry& a) const;
  };
  using IndexOrder = std::set<IndexEntry, KeyLess>;

  struct LogEntry {
    enum Kind { kAdded, kModified, kRemoved } kind;
    Record* record;
    std::vector<FieldValue> oldValues;  // kModified
    std::unique_ptr<Record> removed;    // kRemoved: the row, kept for undo
  };

  uint64_t SeqBefore(const Record* before);
  void Renumber();
  void Link(Record* r, Record* before);
  void Unlink(Record* r);
  IndexEntry EntryOf(Record* r) const;
  IndexOrder::const_iterator Find(const Record* r) const;
  // Threads the pending rows into the index tree.
  void Settle() const;
  void IndexRow(Record* r);
  void UnindexRow(Record* r);
  void CheckUnique(const std::vector<FieldValue>& values, const Record* self) const;
  void DestroyRows();

  Record* head_ = nullptr;
  Record* tail_ = nullptr;
  size_t count_ = 0;
  std::unique_ptr<IndexKey> key_;
  std::unique_ptr<IndexOrder> index_;  // its content changes in Settle, also when const
  mutable std::vector<Record*> pending_;
  uint64_t nextSeq_ = 0;
  bool logging_ = false;
  std::vector<LogEntry> log_;
};
