#include "tools/accessdb/column.h"

#include <stdexcept>

namespace accessdb {
namespace {

struct TypeName {
  ColumnType type;
  const char* name;
};

constexpr TypeName kTypeNames[] = {
    {ColumnType::kBoolean, "boolean"}, {ColumnType::kByte, "byte"},
    {ColumnType::kInteger, "integer"}, {ColumnType::kLong, "long"},
    {ColumnType::kCurrency, "currency"}, {ColumnType::kSingle, "single"},
    {ColumnType::kDouble, "double"}, {ColumnType::kDateTime, "datetime"},
    {ColumnType::kText, "text"}, {ColumnType::kMemo, "memo"},
    {ColumnType::kBinary, "binary"}, {ColumnType::kOle, "ole"},
    {ColumnType::kGuid, "guid"}, {ColumnType::kDecimal, "decimal"}, {ColumnType::kComplex, "complex"},
    {ColumnType::kDateTimeExtended, "datetime-extended"},
};

}  // namespace

ColumnType ColumnTypeFromName(const std::string& name) {
  for (const TypeName& t : kTypeNames) {
    if (name == t.name) return t.type;
  }
  throw std::invalid_argument("unknown column type \"" + name + "\"");
}

const char* ColumnTypeName(ColumnType type) {
  for (const TypeName& t : kTypeNames) {
    if (type == t.type) return t.name;
  }
  return "?";
}

ColumnType ValueType(const Column& column) {
  return column.calculated && column.result_type ? *column.result_type : column.type;
}

bool HasAccessCalculatedLayout(const Column& column) { return column.calculated && column.result_type.has_value(); }

bool IsLongValue(ColumnType type) {
  return type == ColumnType::kMemo || type == ColumnType::kOle;
}

bool IsVariableLength(ColumnType type) {
  return type == ColumnType::kText || type == ColumnType::kBinary || IsLongValue(type);
}

int FixedSize(ColumnType type) {
  switch (type) {
    case ColumnType::kByte: return 1;
    case ColumnType::kInteger: return 2;
    case ColumnType::kLong:
    case ColumnType::kComplex:
    case ColumnType::kSingle: return 4;
    case ColumnType::kCurrency:
    case ColumnType::kDouble:
    case ColumnType::kDateTime: return 8;
    case ColumnType::kGuid: return 16;
    case ColumnType::kDecimal: return 17;
    case ColumnType::kDateTimeExtended: return 42;
    default: return 0;
  }
}

}  // namespace accessdb
