#include "dataset/record.h"

#include <cstring>
#include <iterator>
#include <new>
#include <type_traits>
#include <utility>

static_assert(std::is_nothrow_move_constructible_v<FieldValue>, "rows are filled by moves that cannot fail");

bool Record::GoesIntoRow(const FieldValue& v) { return v.HoldsHeapBytes() && v.AsBytes().size() <= kRowBytesLimit; }

Record* Record::Create(std::vector<FieldValue>&& values) {
  const size_t count = values.size();
  size_t bytes = 0;
  for (const FieldValue& v : values)
    if (GoesIntoRow(v)) bytes += v.AsBytes().size();
  void* block = ::operator new(sizeof(Record) + count * sizeof(FieldValue) + bytes);
  Record* r = new (block) Record(static_cast<uint32_t>(count));
  FieldValue* out = r->values();
  char* tail = reinterpret_cast<char*>(out + count);
  // Nothing below throws, so no partly built row is left behind. Bytes kept
  // in blocks of their own are copied into the row's block, which then
  // holds the whole row; the vector keeps its values to be released.
  for (size_t i = 0; i < count; ++i) {
    FieldValue& v = values[i];
    if (!GoesIntoRow(v)) {
      new (out + i) FieldValue(std::move(v));
      continue;
    }
    const std::string_view b = v.AsBytes();
    std::memcpy(tail, b.data(), b.size());
    new (out + i) FieldValue(FieldValue::RowBytes(tail, static_cast<uint32_t>(b.size())));
    tail += b.size();
  }
  return r;
}

void Record::Destroy(Record* r) {
  if (!r) return;
  FieldValue* v = r->values();
  for (size_t i = 0; i < r->count_; ++i) v[i].~FieldValue();
  r->~Record();
  ::operator delete(static_cast<void*>(r));
}

void Record::Assign(std::vector<FieldValue>&& values) {
  FieldValue* v = this->values();
  for (size_t i = 0; i < count_ && i < values.size(); ++i) v[i] = std::move(values[i]);
}

std::vector<FieldValue> Record::TakeValues() {
  FieldValue* v = values();
  return std::vector<FieldValue>(std::make_move_iterator(v), std::make_move_iterator(v + count_));
}
