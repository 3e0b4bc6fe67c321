// FieldValue: one stored cell of a dataset row, the search key or a pending
// row. Kept to 16 bytes because a dataset holds one per field and row.
//
// A cell is null or holds one of three storage forms; which one a field uses
// is fixed by its kind (see the TField subclasses):
//   int64_t  integers, Boolean (0/1), currency and BCD (scaled by 10000)
//   double   floats, date and time values (TDateTime)
//   bytes    text in the ANSI code page of its assignment (string, memo),
//            UTF-8 (wide string) or raw bytes (blob and byte kinds)
//
// Bytes of up to kInlineBytes are kept inside the value (keys and short
// strings cost no allocation); longer ones in one exactly sized block that
// the value owns. Written by hand rather than as a std::variant holding a
// std::string, which takes 40 bytes a cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

// How a field keeps text in its stored bytes, for case-insensitive
// comparisons: not text, ANSI text of the active code page, or UTF-8.
enum class TextStorage { kNone, kAnsi, kUtf8 };

class FieldValue {
 public:
  static constexpr size_t kInlineBytes = 14;

  FieldValue() noexcept = default;
  FieldValue(const FieldValue& o);
  FieldValue(FieldValue&& o) noexcept;
  FieldValue& operator=(const FieldValue& o);
  FieldValue& operator=(FieldValue&& o) noexcept;
  ~FieldValue() {
    if (kind_ == kHeapBytes) ::operator delete(Get<char*>(0));
  }

  static FieldValue Null() { return FieldValue(); }
  static FieldValue Int(int64_t v) { FieldValue f; f.Put(v); f.kind_ = kInt; return f; }
  static FieldValue Float(double v) { FieldValue f; f.Put(v); f.kind_ = kFloat; return f; }
  static FieldValue Bytes(std::string_view v);

  bool IsNull() const { return kind_ == kNull; }
  bool IsInt() const { return kind_ == kInt; }
  bool IsFloat() const { return kind_ == kFloat; }
  bool IsBytes() const { return kind_ == kInlineBytesKind || kind_ == kHeapBytes || kind_ == kRowBytes; }
  // Each requires the matching form; the view lives as long as the value
  // is neither changed nor destroyed.
  int64_t AsInt() const { return Get<int64_t>(0); }
  double AsFloat() const { return Get<double>(0); }
  std::string_view AsBytes() const {
    return kind_ >= kHeapBytes ? std::string_view(Get<char*>(0), Get<uint32_t>(kHeapSizeAt))
                               : std::string_view(reinterpret_cast<const char*>(raw_), inlineSize_);
  }

  // Ordering used by indexes and key searches: null first, then by value
  // (numbers numerically, bytes as unsigned bytes, shorter prefix first).
  // Values of different forms order by form.
  static int Compare(const FieldValue& a, const FieldValue& b);
  bool operator==(const FieldValue& o) const;
  bool operator!=(const FieldValue& o) const { return !(*this == o); }

 private:
  friend class Record;
  // kRowBytes: bytes kept in the block of the row that holds the value
  // (Record::Create puts them there), not owned by the value itself.
  enum Kind : uint8_t { kNull, kInt, kFloat, kInlineBytesKind, kHeapBytes, kRowBytes };
  // A value whose bytes lie at `data`, kept by the row (see kRowBytes).
  static FieldValue RowBytes(const char* data, uint32_t size) {
    FieldValue f;
    f.Put(data);
    f.Put(size, kHeapSizeAt);
    f.kind_ = kRowBytes;
    return f;
  }
  // Bytes the value keeps in a block of its own, which a row copies into
  // its block.
  bool HoldsHeapBytes() const { return kind_ == kHeapBytes; }
  // A heap block keeps its pointer at offset 0 and its size here.
  static constexpr size_t kHeapSizeAt = sizeof(char*);

  // The number, pointer or size stored at `offset` of the raw bytes; copied
  // bytewise, which the compiler turns into a plain load or store.
  template <typename T>
  T Get(size_t offset) const {
    T v;
    std::memcpy(&v, raw_ + offset, sizeof v);
    return v;
  }
  template <typename T>
  void Put(T v, size_t offset = 0) {
    std::memcpy(raw_ + offset, &v, sizeof v);
  }

  // The form's rank for ordering values of different forms.
  int Rank() const { return kind_ >= kHeapBytes ? kInlineBytesKind : kind_; }
  void Release() noexcept;
  void CopyFrom(const FieldValue& o);
  void StealFrom(FieldValue& o) noexcept;

  alignas(8) unsigned char raw_[kInlineBytes] = {};
  uint8_t inlineSize_ = 0;
  Kind kind_ = kNull;
};

static_assert(sizeof(FieldValue) == 16, "a cell takes 16 bytes");
