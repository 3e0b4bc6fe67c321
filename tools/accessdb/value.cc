#include "tools/accessdb/value.h"

#include <utility>

namespace accessdb {

Value Value::Bool(bool b) {
  Value v;
  v.kind_ = Kind::kBool;
  v.int_ = b ? 1 : 0;
  return v;
}

Value Value::Int(std::int64_t i) {
  Value v;
  v.kind_ = Kind::kInt;
  v.int_ = i;
  return v;
}

Value Value::Double(double d) {
  Value v;
  v.kind_ = Kind::kDouble;
  v.double_ = d;
  return v;
}

Value Value::Currency(std::int64_t ten_thousandths) {
  Value v;
  v.kind_ = Kind::kCurrency;
  v.int_ = ten_thousandths;
  return v;
}

Value Value::DateTime(double access_days) {
  Value v;
  v.kind_ = Kind::kDateTime;
  v.double_ = access_days;
  return v;
}

Value Value::Text(std::string utf8) {
  Value v;
  v.kind_ = Kind::kText;
  v.str_ = std::move(utf8);
  return v;
}

Value Value::Bytes(std::string bytes) {
  Value v;
  v.kind_ = Kind::kBytes;
  v.str_ = std::move(bytes);
  return v;
}

Value Value::Complex(std::int64_t key, ComplexItems items) {
  Value v;
  v.kind_ = Kind::kComplex;
  v.int_ = key;
  v.items_ = std::make_shared<const ComplexItems>(std::move(items));
  return v;
}

const char* ValueKindName(Value::Kind kind) {
  switch (kind) {
    case Value::Kind::kNull: return "null";
    case Value::Kind::kBool: return "boolean";
    case Value::Kind::kInt: return "integer";
    case Value::Kind::kDouble: return "number";
    case Value::Kind::kCurrency: return "currency";
    case Value::Kind::kDateTime: return "date/time";
    case Value::Kind::kText: return "text";
    case Value::Kind::kBytes: return "bytes";
    case Value::Kind::kComplex: return "complex";
  }
  return "?";
}

}  // namespace accessdb
