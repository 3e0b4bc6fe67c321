// Variant: the tagged value every cell and source value travels in.
//
// Kinds: Empty (unassigned, the default), Null, text, 32- and 64-bit
// integers, a byte, single and double floating point, currency, decimal,
// date-time, Boolean, an array of variants, a byte array and a late-bound
// automation object. A variant is *set* when it is neither Null nor Empty.
//
// Text form of each kind (ToString), read from the process's regional
// settings at the moment of the call:
//   Empty, Null      ""
//   text             the text itself
//   integers, byte   decimal digits with a leading "-" when negative
//   single, double   the shortest form that reads back to the same value,
//                    with the regional decimal separator ("1234.5", "1e+20")
//   currency         up to four decimals, trailing zeros dropped ("18.5")
//   decimal          its exact digits with the regional decimal separator
//   date-time        the regional short date, then a blank and the long time
//                    unless the value is exactly midnight
//   Boolean          "True" / "False"
//   byte array       one character per byte, each the code unit of that value
//   array, object    no text form: EVariantError
#pragma once

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "runtime/currency.h"
#include "runtime/date_time.h"
#include "runtime/dispatch.h"
#include "runtime/unicode_string.h"

enum class VarType {
  Empty,
  Null,
  String,
  Integer,  // 32-bit signed
  Int64,
  Byte,
  Single,
  Double,
  Currency,
  Decimal,
  Date,
  Boolean,
  Array,
  ByteArray,
  Dispatch,
};

class Variant {
 public:
  struct EmptyTag { bool operator==(const EmptyTag&) const { return true; } };
  struct NullTag { bool operator==(const NullTag&) const { return true; } };
  struct DateTag {
    TDateTime value;
    bool operator==(const DateTag& o) const { return value == o.value; }
  };
  struct SingleTag {
    float value;
    bool operator==(const SingleTag& o) const { return value == o.value; }
  };
  using Array = std::vector<Variant>;
  using Bytes = std::vector<uint8_t>;

  Variant() = default;
  Variant(const UnicodeString& s) : v_(s) {}
  Variant(UnicodeString&& s) : v_(std::move(s)) {}
  Variant(const char16_t* s) : v_(UnicodeString(s)) {}
  Variant(const char*) = delete;  // would silently become a Boolean
  Variant(int32_t i) : v_(i) {}
  Variant(int64_t i) : v_(i) {}
  Variant(uint8_t b) : v_(b) {}
  Variant(double d) : v_(d) {}
  Variant(bool b) : v_(b) {}
  Variant(Currency c) : v_(c) {}
  Variant(Decimal d) : v_(d) {}
  Variant(Array a) : v_(std::make_shared<Array>(std::move(a))) {}
  Variant(Bytes b) : v_(std::make_shared<Bytes>(std::move(b))) {}
  Variant(DispatchRef d) : v_(std::move(d)) {}

  static Variant Null() { Variant v; v.v_ = NullTag{}; return v; }
  static Variant Empty() { return Variant(); }
  static Variant FromDate(TDateTime d) { Variant v; v.v_ = DateTag{d}; return v; }
  static Variant FromSingle(float f) { Variant v; v.v_ = SingleTag{f}; return v; }

  // Makes this the text `s`; a text held already keeps its storage when `s`
  // fits, where assigning Variant(s) would allocate anew.
  void AssignString(const UnicodeString& s) { v_ = s; }

  // Inline: every cell's value is asked its kind several times on its way.
  VarType Type() const {
    const size_t index = v_.index();  // the alternatives follow VarType's order
    return index < static_cast<size_t>(VarType::Dispatch) ? static_cast<VarType>(index) : VarType::Dispatch;
  }
  bool IsEmpty() const { return Type() == VarType::Empty; }
  bool IsNull() const { return Type() == VarType::Null; }
  // Neither Null nor Empty.
  bool IsSet() const { return !IsEmpty() && !IsNull(); }
  bool IsString() const { return Type() == VarType::String; }
  bool IsArray() const { return Type() == VarType::Array; }
  // Integer kinds: Integer, Int64, Byte.
  bool IsOrdinal() const;
  // Integer and floating kinds, currency and decimal.
  bool IsNumeric() const;

  // The text form described above.
  UnicodeString ToString() const;
  // Conversions with the runtime's rules; a text is parsed (regional decimal
  // separator for numbers, the short date format for dates). Raise
  // EVariantError / EConvertError when the value has no such form. Null and
  // Empty convert to 0 / false.
  int64_t ToInt64() const;
  int32_t ToInt32() const;
  double ToDouble() const;
  bool ToBoolean() const;
  TDateTime ToDateTime() const;
  Currency ToCurrency() const;

  // Direct access; each requires the matching kind.
  const UnicodeString& AsStringRef() const { return std::get<UnicodeString>(v_); }
  const Array& AsArray() const { return *std::get<std::shared_ptr<Array>>(v_); }
  Array& MutableArray();
  const Bytes& AsBytes() const { return *std::get<std::shared_ptr<Bytes>>(v_); }
  const DispatchRef& AsDispatch() const { return std::get<DispatchRef>(v_); }
  TDateTime AsDate() const { return std::get<DateTag>(v_).value; }
  Currency AsCurrency() const { return std::get<Currency>(v_); }
  Decimal AsDecimal() const { return std::get<Decimal>(v_); }

  // Late-bound calls on an automation object (Type() == Dispatch).
  Variant Call(UnicodeStringView method, const std::vector<Variant>& args = {}) const;
  Variant Call(UnicodeStringView method, const std::vector<Variant>& args,
               const std::vector<NamedArgument>& named) const;
  Variant Get(UnicodeStringView property, const std::vector<Variant>& index = {}) const;

  // Same kind and same value (arrays element by element, objects by identity).
  bool operator==(const Variant& other) const;
  bool operator!=(const Variant& other) const { return !(*this == other); }

 private:
  std::variant<EmptyTag, NullTag, UnicodeString, int32_t, int64_t, uint8_t, SingleTag, double, Currency, Decimal,
               DateTag, bool, std::shared_ptr<Array>, std::shared_ptr<Bytes>, DispatchRef>
      v_;
  static_assert(std::variant_size_v<decltype(v_)> == static_cast<size_t>(VarType::Dispatch) + 1,
                "one alternative per kind, in VarType's order");
};

struct NamedArgument {
  UnicodeString name;
  Variant value;
};

// Text forms of numbers shared with other runtime code.
UnicodeString FloatToStr(double value, char16_t decimalSeparator);
UnicodeString CurrencyToStr(Currency value, char16_t decimalSeparator);
UnicodeString DecimalToStr(const Decimal& value, char16_t decimalSeparator);
