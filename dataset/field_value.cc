#include "dataset/field_value.h"

#include <cstring>
#include <limits>
#include <new>

FieldValue FieldValue::Bytes(std::string_view v) {
  FieldValue f;
  if (v.size() <= kInlineBytes) {
    if (!v.empty()) std::memcpy(f.raw_, v.data(), v.size());
    f.inlineSize_ = static_cast<uint8_t>(v.size());
    f.kind_ = kInlineBytesKind;
    return f;
  }
  if (v.size() > std::numeric_limits<uint32_t>::max()) throw std::bad_alloc();
  char* data = static_cast<char*>(::operator new(v.size()));
  std::memcpy(data, v.data(), v.size());
  f.Put(data);
  f.Put(static_cast<uint32_t>(v.size()), kHeapSizeAt);
  f.kind_ = kHeapBytes;
  return f;
}

FieldValue::FieldValue(const FieldValue& o) { CopyFrom(o); }

FieldValue::FieldValue(FieldValue&& o) noexcept { StealFrom(o); }

FieldValue& FieldValue::operator=(const FieldValue& o) {
  if (this != &o) {
    FieldValue copy(o);  // may throw; this value stays as it was
    Release();
    StealFrom(copy);
  }
  return *this;
}

FieldValue& FieldValue::operator=(FieldValue&& o) noexcept {
  if (this != &o) {
    Release();
    StealFrom(o);
  }
  return *this;
}

void FieldValue::Release() noexcept {
  if (kind_ == kHeapBytes) ::operator delete(Get<char*>(0));
  std::memset(raw_, 0, sizeof raw_);
  inlineSize_ = 0;
  kind_ = kNull;
}

void FieldValue::CopyFrom(const FieldValue& o) {
  // A copy owns its bytes, also those of a value kept in a row.
  if (o.kind_ == kHeapBytes || o.kind_ == kRowBytes) {
    *this = Bytes(o.AsBytes());
    return;
  }
  std::memcpy(static_cast<void*>(this), &o, sizeof *this);
}

void FieldValue::StealFrom(FieldValue& o) noexcept {
  std::memcpy(static_cast<void*>(this), &o, sizeof *this);
  std::memset(o.raw_, 0, sizeof o.raw_);
  o.inlineSize_ = 0;
  o.kind_ = kNull;
}

int FieldValue::Compare(const FieldValue& a, const FieldValue& b) {
  if (a.Rank() != b.Rank()) return a.Rank() < b.Rank() ? -1 : 1;
  switch (a.kind_) {
    case kInt: {
      int64_t x = a.AsInt(), y = b.AsInt();
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case kFloat: {
      double x = a.AsFloat(), y = b.AsFloat();
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case kInlineBytesKind:
    case kHeapBytes:
    case kRowBytes: {
      // string_view compares as unsigned bytes (char_traits<char>::compare).
      int c = a.AsBytes().compare(b.AsBytes());
      return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    default: return 0;
  }
}

bool FieldValue::operator==(const FieldValue& o) const {
  if (Rank() != o.Rank()) return false;
  switch (kind_) {
    case kInt: return AsInt() == o.AsInt();
    case kFloat: return AsFloat() == o.AsFloat();
    case kInlineBytesKind:
    case kHeapBytes:
    case kRowBytes: return AsBytes() == o.AsBytes();
    default: return true;
  }
}
