#include "dataset/record.h"

#include <iterator>
#include <new>
#include <type_traits>
#include <utility>

static_assert(std::is_nothrow_move_constructible_v<FieldValue>, "rows are filled by moves that cannot fail");

Record* Record::Create(std::vector<FieldValue>&& values) {
  const size_t count = values.size();
  void* block = ::operator new(sizeof(Record) + count * sizeof(FieldValue));
  Record* r = new (block) Record(static_cast<uint32_t>(count));
  FieldValue* out = r->values();
  // Moving a FieldValue does not throw, so no partly built row is left behind.
  for (size_t i = 0; i < count; ++i) new (out + i) FieldValue(std::move(values[i]));
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
