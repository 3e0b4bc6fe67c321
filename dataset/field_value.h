// FieldValue: one stored cell of a dataset row, the search key or a pending
// row. Kept small because a dataset holds one per field and row.
//
// A cell is null or holds one of three storage forms; which one a field uses
// is fixed by its kind (see the TField subclasses):
//   int64_t      integers, Boolean (0/1), currency and BCD (scaled by 10000)
//   double       floats, date and time values (TDateTime)
//   std::string  text in the ANSI code page of its assignment (string, memo),
//                UTF-8 (wide string) or raw bytes (blob and byte kinds)
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

// How a field keeps text in its stored bytes, for case-insensitive
// comparisons: not text, ANSI text of the active code page, or UTF-8.
enum class TextStorage { kNone, kAnsi, kUtf8 };

class FieldValue {
 public:
  FieldValue() = default;
  static FieldValue Null() { return FieldValue(); }
  static FieldValue Int(int64_t v) { FieldValue f; f.v_ = v; return f; }
  static FieldValue Float(double v) { FieldValue f; f.v_ = v; return f; }
  static FieldValue Bytes(std::string v) { FieldValue f; f.v_ = std::move(v); return f; }

  bool IsNull() const { return v_.index() == 0; }
  bool IsInt() const { return v_.index() == 1; }
  bool IsFloat() const { return v_.index() == 2; }
  bool IsBytes() const { return v_.index() == 3; }
  // Each requires the matching form.
  int64_t AsInt() const { return std::get<int64_t>(v_); }
  double AsFloat() const { return std::get<double>(v_); }
  const std::string& AsBytes() const { return std::get<std::string>(v_); }

  // Ordering used by indexes and key searches: null first, then by value
  // (numbers numerically, bytes as unsigned bytes, shorter prefix first).
  // Values of different forms order by form.
  static int Compare(const FieldValue& a, const FieldValue& b);
  bool operator==(const FieldValue& o) const { return v_ == o.v_; }
  bool operator!=(const FieldValue& o) const { return !(v_ == o.v_); }

 private:
  std::variant<std::monostate, int64_t, double, std::string> v_;
};
