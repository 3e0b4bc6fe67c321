#include "runtime/variant.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/exceptions.h"
#include "runtime/regional_settings.h"
#include "runtime/utf8.h"

namespace {

[[noreturn]] void InvalidConversion(VarType from, const char16_t* to) {
  static const char16_t* kNames[] = {u"Empty",    u"Null",    u"String", u"Integer", u"Int64",
                                     u"Byte",     u"Single",  u"Double", u"Currency", u"Decimal",
                                     u"Date",     u"Boolean", u"Array",  u"Array of Byte", u"Dispatch"};
  throw EVariantError(FormatText(u"Could not convert variant of type (%s) into type (%s)",
                                 {UnicodeString(kNames[static_cast<int>(from)]), UnicodeString(to)}));
}

std::string Narrow(UnicodeStringView s) {
  std::string r;
  r.reserve(s.size());
  for (char16_t c : s) r.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');
  return r;
}

// Shortest round-trip digits of a double, with "." as separator.
std::string ShortestDouble(double d) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, res.ptr);
}

std::string ShortestFloat(float f) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, f);
  return std::string(buf, res.ptr);
}

UnicodeString WithSeparator(const std::string& s, char16_t sep) {
  UnicodeString r = AsciiToUnicode(s);
  for (auto& c : r)
    if (c == u'.') c = sep;
  return r;
}

bool ParseDouble(UnicodeStringView text, char16_t sep, double& out) {
  UnicodeString t = Trim(text);
  if (t.empty()) return false;
  std::string s;
  for (char16_t c : t) {
    if (c == sep) s.push_back('.');
    else if (c == u'.' && sep != u'.') return false;
    else if (c < 0x80) s.push_back(static_cast<char>(c));
    else return false;
  }
  const char* b = s.data();
  const char* e = s.data() + s.size();
  if (*b == '+') ++b;
  auto r = std::from_chars(b, e, out);
  return r.ec == std::errc() && r.ptr == e;
}

bool ParseInt64(UnicodeStringView text, int64_t& out) {
  std::string s = Narrow(Trim(text));
  if (s.empty()) return false;
  const char* b = s.data();
  const char* e = s.data() + s.size();
  if (*b == '+') ++b;
  auto r = std::from_chars(b, e, out);
  return r.ec == std::errc() && r.ptr == e;
}

// Divides a 96-bit magnitude (three 32-bit limbs, most significant first) by
// 10 in place and returns the remainder. Written with 64-bit arithmetic so
// that it also builds for 32-bit targets, which have no 128-bit integers.
uint32_t DivMod10(uint32_t limbs[3]) {
  uint64_t rem = 0;
  for (int i = 0; i < 3; ++i) {
    uint64_t cur = (rem << 32) | limbs[i];
    limbs[i] = static_cast<uint32_t>(cur / 10);
    rem = cur % 10;
  }
  return static_cast<uint32_t>(rem);
}

}  // namespace

UnicodeString FloatToStr(double value, char16_t decimalSeparator) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
  return WithSeparator(ShortestDouble(value), decimalSeparator);
}

UnicodeString CurrencyToStr(Currency value, char16_t decimalSeparator) {
  int64_t v = value.scaled;
  bool neg = v < 0;
  uint64_t mag = neg ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  std::string s = std::to_string(mag / 10000);
  uint64_t frac = mag % 10000;
  if (frac) {
    std::string f = std::to_string(frac);
    while (f.size() < 4) f.insert(f.begin(), '0');
    while (!f.empty() && f.back() == '0') f.pop_back();
    s += "." + f;
  }
  if (neg) s.insert(s.begin(), '-');
  return WithSeparator(s, decimalSeparator);
}

UnicodeString DecimalToStr(const Decimal& value, char16_t decimalSeparator) {
  uint32_t limbs[3] = {value.hi32, static_cast<uint32_t>(value.lo64 >> 32), static_cast<uint32_t>(value.lo64)};
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + DivMod10(limbs)));
  } while (limbs[0] || limbs[1] || limbs[2]);
  int scale = value.scale;
  if (scale > 0) {
    while (static_cast<int>(digits.size()) <= scale) digits.insert(digits.begin(), '0');
    digits.insert(digits.end() - scale, '.');
    // Trailing zeros of the fraction carry no value.
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
  }
  bool isZero = digits == "0";
  if (value.negative && !isZero) digits.insert(digits.begin(), '-');
  return WithSeparator(digits, decimalSeparator);
}

bool Variant::IsOrdinal() const {
  VarType t = Type();
  return t == VarType::Integer || t == VarType::Int64 || t == VarType::Byte;
}

bool Variant::IsNumeric() const {
  VarType t = Type();
  return IsOrdinal() || t == VarType::Single || t == VarType::Double || t == VarType::Currency ||
         t == VarType::Decimal;
}

Variant::Array& Variant::MutableArray() {
  auto& p = std::get<std::shared_ptr<Array>>(v_);
  if (p.use_count() > 1) p = std::make_shared<Array>(*p);  // copy on write
  return *p;
}

UnicodeString Variant::ToString() const {
  const FormatSettings& fs = RegionalSettings();
  switch (Type()) {
    case VarType::Empty:
    case VarType::Null: return UnicodeString();
    case VarType::String: return std::get<UnicodeString>(v_);
    case VarType::Integer: return AsciiToUnicode(std::to_string(std::get<int32_t>(v_)));
    case VarType::Int64: return AsciiToUnicode(std::to_string(std::get<int64_t>(v_)));
    case VarType::Byte: return AsciiToUnicode(std::to_string(std::get<uint8_t>(v_)));
    case VarType::Single: return WithSeparator(ShortestFloat(std::get<SingleTag>(v_).value), fs.DecimalSeparator);
    case VarType::Double: return FloatToStr(std::get<double>(v_), fs.DecimalSeparator);
    case VarType::Currency: return CurrencyToStr(std::get<Currency>(v_), fs.DecimalSeparator);
    case VarType::Decimal: return DecimalToStr(std::get<Decimal>(v_), fs.DecimalSeparator);
    case VarType::Date: return DateTimeToStr(std::get<DateTag>(v_).value, fs);
    case VarType::Boolean: return std::get<bool>(v_) ? u"True" : u"False";
    case VarType::ByteArray: {
      const Bytes& b = AsBytes();
      return UnicodeString(b.begin(), b.end());
    }
    case VarType::Array: InvalidConversion(Type(), u"String");
    case VarType::Dispatch: InvalidConversion(Type(), u"String");
  }
  return UnicodeString();
}

double Variant::ToDouble() const {
  switch (Type()) {
    case VarType::Empty:
    case VarType::Null: return 0;
    case VarType::String: {
      double d;
      if (ParseDouble(AsStringRef(), RegionalSettings().DecimalSeparator, d)) return d;
      throw EConvertError(FormatText(u"'%s' is not a valid floating point value", {AsStringRef()}));
    }
    case VarType::Integer: return std::get<int32_t>(v_);
    case VarType::Int64: return static_cast<double>(std::get<int64_t>(v_));
    case VarType::Byte: return std::get<uint8_t>(v_);
    case VarType::Single: return std::get<SingleTag>(v_).value;
    case VarType::Double: return std::get<double>(v_);
    case VarType::Currency: return std::get<Currency>(v_).ToDouble();
    case VarType::Decimal: {
      double d;
      ParseDouble(DecimalToStr(std::get<Decimal>(v_), u'.'), u'.', d);
      return d;
    }
    case VarType::Date: return std::get<DateTag>(v_).value;
    case VarType::Boolean: return std::get<bool>(v_) ? -1 : 0;
    default: InvalidConversion(Type(), u"Double");
  }
}

int64_t Variant::ToInt64() const {
  switch (Type()) {
    case VarType::Empty:
    case VarType::Null: return 0;
    case VarType::String: {
      int64_t i;
      if (ParseInt64(AsStringRef(), i)) return i;
      double d;
      if (ParseDouble(AsStringRef(), RegionalSettings().DecimalSeparator, d) && std::fabs(d) < 9.2e18)
        return static_cast<int64_t>(std::nearbyint(d));
      throw EConvertError(FormatText(u"'%s' is not a valid integer value", {AsStringRef()}));
    }
    case VarType::Integer: return std::get<int32_t>(v_);
    case VarType::Int64: return std::get<int64_t>(v_);
    case VarType::Byte: return std::get<uint8_t>(v_);
    case VarType::Currency: {
      // Round half to even, as the runtime's currency rounding does.
      int64_t s = std::get<Currency>(v_).scaled;
      int64_t q = s / 10000, r = s % 10000;
      if (r > 5000 || (r == 5000 && (q & 1))) ++q;
      if (r < -5000 || (r == -5000 && (q & 1))) --q;
      return q;
    }
    case VarType::Boolean: return std::get<bool>(v_) ? -1 : 0;
    case VarType::Single:
    case VarType::Double:
    case VarType::Decimal:
    case VarType::Date: {
      double d = ToDouble();
      if (!(std::fabs(d) < 9.2e18)) throw EVariantError(u"Invalid variant operation");
      return static_cast<int64_t>(std::nearbyint(d));
    }
    default: InvalidConversion(Type(), u"Int64");
  }
}

int32_t Variant::ToInt32() const {
  int64_t v = ToInt64();
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    throw EVariantError(u"Overflow while converting variant of type (Int64) into type (Integer)");
  return static_cast<int32_t>(v);
}

bool Variant::ToBoolean() const {
  switch (Type()) {
    case VarType::Empty:
    case VarType::Null: return false;
    case VarType::Boolean: return std::get<bool>(v_);
    case VarType::String: {
      const UnicodeString& s = AsStringRef();
      UnicodeString t = Trim(s);
      if (SameTextAscii(t, u"True")) return true;
      if (SameTextAscii(t, u"False")) return false;
      double d;
      if (ParseDouble(t, RegionalSettings().DecimalSeparator, d)) return d != 0;
      InvalidConversion(Type(), u"Boolean");
    }
    case VarType::Array:
    case VarType::ByteArray:
    case VarType::Dispatch: InvalidConversion(Type(), u"Boolean");
    default: return ToDouble() != 0;
  }
}

TDateTime Variant::ToDateTime() const {
  switch (Type()) {
    case VarType::Date: return std::get<DateTag>(v_).value;
    case VarType::String: {
      TDateTime d;
      if (ParseDateTimeText(AsStringRef(), d)) return d;
      throw EConvertError(FormatText(u"'%s' is not a valid date and time", {AsStringRef()}));
    }
    default: return ToDouble();
  }
}

Currency Variant::ToCurrency() const {
  switch (Type()) {
    case VarType::Currency: return std::get<Currency>(v_);
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Byte: return Currency{ToInt64() * 10000};
    default: {
      double d = ToDouble();
      if (!(std::fabs(d) < 9.2e14)) throw EVariantError(u"Invalid variant operation");
      return Currency{static_cast<int64_t>(std::nearbyint(d * 10000.0))};
    }
  }
}

Variant Variant::Call(UnicodeStringView method, const std::vector<Variant>& args) const {
  return Call(method, args, {});
}

Variant Variant::Call(UnicodeStringView method, const std::vector<Variant>& args,
                      const std::vector<NamedArgument>& named) const {
  if (Type() != VarType::Dispatch || !AsDispatch()) throw EVariantError(u"Invalid variant operation");
  return AsDispatch()->Invoke(method, InvokeKind::Method, args, named);
}

Variant Variant::Get(UnicodeStringView property, const std::vector<Variant>& index) const {
  if (Type() != VarType::Dispatch || !AsDispatch()) throw EVariantError(u"Invalid variant operation");
  return AsDispatch()->Invoke(property, InvokeKind::PropertyGet, index, {});
}

bool Variant::operator==(const Variant& o) const {
  if (v_.index() != o.v_.index()) return false;
  switch (Type()) {
    case VarType::Empty:
    case VarType::Null: return true;
    case VarType::Single: return std::get<SingleTag>(v_).value == std::get<SingleTag>(o.v_).value;
    case VarType::Date: return AsDate() == o.AsDate();
    case VarType::Array: return AsArray() == o.AsArray();
    case VarType::ByteArray: return AsBytes() == o.AsBytes();
    default: return v_ == o.v_;
  }
}
