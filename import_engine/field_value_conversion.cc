#include "import_engine/field_value_conversion.h"

#include <algorithm>

#include "dataset/t_field.h"
#include "import_engine/date_time_parsing.h"
#include "import_engine/numeric_text.h"
#include "import_engine/t_smi_data_formats.h"
#include "platform/unicode_case.h"
#include "runtime/exceptions.h"
#include "runtime/regional_settings.h"

namespace {

constexpr UnicodeStringView kCDataPrefix = u"[CDATA[";
// The prefix and the two closing characters ("]]") around the content.
constexpr size_t kCDataFrameLength = 9;

enum class Rule { kInteger, kFloat, kDate, kTime, kBoolean, kNone };

Rule RuleFor(TFieldType type) {
  switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
      return Rule::kInteger;
    case ftFloat: case ftCurrency: case ftBCD:
      return Rule::kFloat;
    case ftDate: case ftDateTime:
      return Rule::kDate;
    case ftTime:
      return Rule::kTime;
    case ftBoolean:
      return Rule::kBoolean;
    default:
      return Rule::kNone;
  }
}

// Sets the process's decimal separator for its lifetime; the float rule
// reads numbers with the source's separator, not the user's.
class ScopedDecimalSeparator {
 public:
  explicit ScopedDecimalSeparator(char16_t separator) : saved_(RegionalSettings().DecimalSeparator) {
    RegionalSettings().DecimalSeparator = separator;
  }
  ~ScopedDecimalSeparator() { RegionalSettings().DecimalSeparator = saved_; }
  ScopedDecimalSeparator(const ScopedDecimalSeparator&) = delete;
  ScopedDecimalSeparator& operator=(const ScopedDecimalSeparator&) = delete;

 private:
  char16_t saved_;
};

bool IsFieldName(UnicodeStringView text, const TField& field) { return SameTextUnicode(text, field.FieldName()); }

// Blank texts and texts naming the field itself (what an unknown source name
// evaluates to) carry no value.
bool IsNoValue(UnicodeStringView text, const TField& field) {
  return Trim(text).empty() || IsFieldName(text, field);
}

// 6-bit value of a Base64 character, -1 for any other character.
int Base64Digit(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c - u'A';
  if (c >= u'a' && c <= u'z') return c - u'a' + 26;
  if (c >= u'0' && c <= u'9') return c - u'0' + 52;
  if (c == u'+') return 62;
  if (c == u'/') return 63;
  return -1;
}

Variant ConvertFloatText(const UnicodeString& text, const TField& field, const TSMIDataFormats& formats,
                         bool calledByCalculator) {
  if (IsNoValue(text, field)) return Variant(int32_t{0});
  const ScopedDecimalSeparator separator(formats.DecimalSeparator());
  UnicodeString rest = text;
  rest.erase(std::remove(rest.begin(), rest.end(), formats.ThousandSeparator()), rest.end());
  if (!formats.CurrencyString().empty()) {
    const size_t at = rest.find(formats.CurrencyString());
    if (at != UnicodeString::npos) rest.erase(at, formats.CurrencyString().size());
  }
  if (IsFieldName(rest, field)) return Variant(int32_t{0});
  if (SameTextAscii(rest, u"NULL")) return Variant::Null();
  const char16_t decimalSeparator = RegionalSettings().DecimalSeparator;
  if (!rest.empty() && rest[0] == decimalSeparator) rest.insert(rest.begin(), u'0');
  if (calledByCalculator && IsNumericText(rest)) {
    double number = 0;
    if (!TryNumericTextToFloat(rest, number)) {
      throw EConvertError(u"'" + rest + u"' is not a valid floating point value");
    }
    return Variant(number);
  }
  return Variant(rest);
}

Variant ConvertDateText(const UnicodeString& text, const TField& field, const TSMIDataFormats& formats,
                        TTableTypeImport tableType) {
  const UnicodeString digits = DateDigits(text, formats);
  if (digits.empty() || digits == u"18991230" || IsFieldName(text, field)) return Variant::Null();
  const TDateTime x = ParseDateTime(Trim(text), BuildDateFormat(formats, tableType), formats.DateSeparator(),
                                    formats.TimeSeparator());
  return x != 0 ? Variant::FromDate(x) : Variant(text);
}

Variant ConvertTimeText(const UnicodeString& text, const TField& field, const TSMIDataFormats& formats) {
  if (IsNoValue(text, field)) return Variant(int32_t{0});
  return Variant::FromDate(ParseDateTime(Trim(text), BuildTimeFormat(formats, false), formats.DateSeparator(),
                                         formats.TimeSeparator()));
}

// Words are compared exactly, in this order of precedence.
Variant ConvertBoolean(const Variant& value, const TSMIDataFormats& formats) {
  static const char16_t* const kTrueWords[] = {u"True", u"1", u"T", u"Y"};
  static const char16_t* const kFalseWords[] = {u"False", u"0", u"F", u"N"};
  const UnicodeString text = value.ToString();
  auto matches = [&](const UnicodeString& word, const char16_t* const* words) {
    if (!word.empty() && text == word) return true;
    for (size_t i = 0; i < 4; ++i) {
      if (text == words[i]) return true;
    }
    return false;
  };
  if (matches(formats.BooleanTrue(), kTrueWords)) return Variant(true);
  if (matches(formats.BooleanFalse(), kFalseWords)) return Variant(false);
  if (text == u"-1") return Variant::Null();
  return value;
}

}  // namespace

UnicodeString DecodeBase64ToChars(UnicodeStringView text) {
  UnicodeString result;
  result.reserve(text.size() * 3 / 4);
  uint32_t bits = 0;
  int bitCount = 0;
  for (char16_t c : text) {
    if (c == u'=') break;
    const int digit = Base64Digit(c);
    if (digit < 0) continue;
    bits = (bits << 6) | static_cast<uint32_t>(digit);
    bitCount += 6;
    if (bitCount >= 8) {
      bitCount -= 8;
      result.push_back(static_cast<char16_t>((bits >> bitCount) & 0xFFu));
    }
  }
  return result;
}

void ApplyCDataRule(Variant& value, bool isBlobField, bool isXmlSource) {
  if (!value.IsString()) return;
  const UnicodeString& text = value.AsStringRef();
  const bool isCData = UnicodeStringView(text).substr(0, kCDataPrefix.size()) == kCDataPrefix;
  if (isCData) {
    const size_t contentLength = text.size() >= kCDataFrameLength ? text.size() - kCDataFrameLength : 0;
    UnicodeString content = text.substr(kCDataPrefix.size(), contentLength);
    value = isXmlSource ? DecodeBase64ToChars(content) : std::move(content);
  } else if (isXmlSource && isBlobField) {
    value = DecodeBase64ToChars(text);
  }
}

void ConvertForField(Variant& value, const TField& field, const TSMIDataFormats& formats,
                     TTableTypeImport tableType, bool isXmlSource, bool calledByCalculator) {
  ApplyCDataRule(value, field.IsBlob(), isXmlSource);
  // Each rule builds the new value aside and it is stored last, so an
  // exception leaves the value as the CDATA rule made it.
  switch (RuleFor(field.DataType())) {
    case Rule::kInteger:
      if (value.IsString() && IsNoValue(value.AsStringRef(), field)) value = Variant(int32_t{0});
      break;
    case Rule::kFloat:
      if (value.IsString()) value = ConvertFloatText(value.AsStringRef(), field, formats, calledByCalculator);
      break;
    case Rule::kDate:
      if (value.IsString()) value = ConvertDateText(value.AsStringRef(), field, formats, tableType);
      break;
    case Rule::kTime:
      if (value.IsString()) value = ConvertTimeText(value.AsStringRef(), field, formats);
      break;
    case Rule::kBoolean:
      value = ConvertBoolean(value, formats);
      break;
    case Rule::kNone:
      break;
  }
}
