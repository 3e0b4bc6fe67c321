// Record: one dataset row, its links in the natural order and its field
// values, in a single allocation (the values follow the header, and the
// bytes of values up to kRowBytesLimit follow them), so a row costs one
// block instead of a row object, a separately grown array and a block per
// text: loading and releasing a large table allocates and frees once a row.
//
// Ownership: rows are made by Record::Create and released by
// Record::Destroy (or a RecordDeleter); the RecordStore owns every row it
// links. The number of values is fixed when the row is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dataset/field_value.h"

class Record {
 public:
  // A row holding `values`: moved out of the vector (left with moved-from
  // elements), or for bytes that go into the row, copied (the vector keeps
  // them to be released).
  static Record* Create(std::vector<FieldValue>&& values);
  static void Destroy(Record* r);

  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;

  FieldValue* values() { return reinterpret_cast<FieldValue*>(this + 1); }
  const FieldValue* values() const { return reinterpret_cast<const FieldValue*>(this + 1); }
  size_t valueCount() const { return count_; }

  // Moves `values` (same count) into the row.
  void Assign(std::vector<FieldValue>&& values);
  // Moves the row's values out into a vector; the row keeps moved-from values.
  std::vector<FieldValue> TakeValues();

  uint64_t seq = 0;        // increases along the natural order
  Record* prev = nullptr;  // natural order neighbours
  Record* next = nullptr;
  bool indexed = false;  // in the sorted index (not pending)

 private:
  // Bytes of a value are copied into its row's block up to this size; a
  // larger value keeps its own block rather than be copied once more.
  static constexpr size_t kRowBytesLimit = 2048;
  static bool GoesIntoRow(const FieldValue& v);

  explicit Record(uint32_t count) : count_(count) {}
  ~Record() = default;

  uint32_t count_;
};

static_assert(sizeof(Record) % alignof(FieldValue) == 0, "the values follow the header");

struct RecordDeleter {
  void operator()(Record* r) const { Record::Destroy(r); }
};
