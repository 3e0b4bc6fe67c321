// One cell value handed to the Access database writer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace accessdb {

struct ComplexItems;

// A tagged value; small, copied freely. Which kinds a column accepts:
//   boolean: Bool (never Null)
//   byte, integer, long: Int (range-checked against the column)
//   complex: Int (the 32-bit key alone), or Complex (the key and the values
//            behind it, for columns of a complex kind; see column.h)
//   currency: Currency (exact ten-thousandths), Int (whole units) or Double
//             (rounded to four decimals)
//   single, double: Double or Int (single rounds to float)
//   datetime: DateTime (days since 1899-12-30, see date_time.h)
//   decimal: Text ("-50.325") or Int
//   datetime-extended: Text ("0001-01-01T00:00:00.0000001", see date_time.h)
//   guid: Text ("{6B29FC40-CA47-1067-B31D-00DD010662DA}")
//   text, memo: Text (UTF-8)
//   binary, ole: Bytes
// Every column but boolean also accepts Null.
class Value {
 public:
  enum class Kind { kNull, kBool, kInt, kDouble, kCurrency, kDateTime, kText, kBytes, kComplex };

  Value() = default;  // Null
  static Value Null() { return Value(); }
  static Value Bool(bool b);
  static Value Int(std::int64_t i);
  static Value Double(double d);
  // `ten_thousandths` is the stored integer: 1.5 currency units is 15000.
  static Value Currency(std::int64_t ten_thousandths);
  // `access_days` as date_time.h computes it (ToAccessDays / ParseDateTime).
  static Value DateTime(double access_days);
  static Value Text(std::string utf8);
  static Value Bytes(std::string bytes);
  static Value Complex(std::int64_t key, ComplexItems items);

  Kind kind() const { return kind_; }
  bool is_null() const { return kind_ == Kind::kNull; }
  bool as_bool() const { return int_ != 0; }
  std::int64_t as_int() const { return int_; }         // Int, Currency, Bool, Complex (its key)
  double as_double() const { return double_; }         // Double, DateTime
  const std::string& as_string() const { return str_; }  // Text, Bytes
  const ComplexItems& as_complex() const { return *items_; }  // Complex

 private:
  Kind kind_ = Kind::kNull;
  std::int64_t int_ = 0;
  double double_ = 0;
  std::string str_;
  std::shared_ptr<const ComplexItems> items_;  // shared: values are copied freely
};

// An attached file: its name, its type (the extension, "txt") and its bytes.
struct Attachment {
  std::string name, type, data;
};

// One version of an append-only memo: its text and when it was made (Access days).
struct MemoVersion {
  std::string text;
  double modified = 0;
};

// The values behind one key of a complex column: of a multi-value column its
// values (each of the column's value type, in order), of an attachment column
// the files, of a version-history column the versions, oldest first.
struct ComplexItems {
  std::vector<Value> values;
  std::vector<Attachment> attachments;
  std::vector<MemoVersion> versions;
};

const char* ValueKindName(Value::Kind kind);

}  // namespace accessdb
