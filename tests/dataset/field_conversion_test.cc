// Every field kind: its class and properties, the conversion of assigned
// values, the text and Variant it reads back, and null handling.
#include <cmath>
#include <functional>

#include "dataset/fields.h"
#include "runtime/regional_settings.h"
#include "tests/dataset/dataset_test_util.h"

namespace {

// A one-field dataset with a pending new row.
struct OneField {
  std::unique_ptr<TClientDataSet> ds;
  TField* field;
  OneField(TFieldType type, int32_t size) {
    ds = OpenDataSet({{u"F", type, size}});
    ds->Append();
    field = ds->Fields(0);
  }
};

}  // namespace

TEST(FieldKinds, ClassAndProperties) {
  struct Row {
    TFieldType type;
    const char* className;
    bool isBlob;
    TAlignment alignment;
    int32_t precision;
  } rows[] = {
      {ftString, "TStringField", false, taLeftJustify, 0},
      {ftFixedChar, "TStringField", false, taLeftJustify, 0},
      {ftWideString, "TWideStringField", false, taLeftJustify, 0},
      {ftSmallint, "TSmallintField", false, taRightJustify, 0},
      {ftInteger, "TIntegerField", false, taRightJustify, 0},
      {ftWord, "TWordField", false, taRightJustify, 0},
      {ftAutoInc, "TAutoIncField", false, taRightJustify, 0},
      {ftLargeint, "TLargeintField", false, taRightJustify, 0},
      {ftFloat, "TFloatField", false, taRightJustify, 15},
      {ftCurrency, "TCurrencyField", false, taRightJustify, 15},
      {ftBCD, "TBCDField", false, taRightJustify, 0},
      {ftFMTBcd, "TBCDField", false, taRightJustify, 0},
      {ftBoolean, "TBooleanField", false, taLeftJustify, 0},
      {ftDate, "TDateField", false, taLeftJustify, 0},
      {ftTime, "TTimeField", false, taLeftJustify, 0},
      {ftDateTime, "TDateTimeField", false, taLeftJustify, 0},
      {ftTimeStamp, "TDateTimeField", false, taLeftJustify, 0},
      {ftBytes, "TBytesField", false, taLeftJustify, 0},
      {ftVarBytes, "TVarBytesField", false, taLeftJustify, 0},
      {ftBlob, "TBlobField", true, taLeftJustify, 0},
      {ftMemo, "TMemoField", true, taLeftJustify, 0},
      {ftFmtMemo, "TMemoField", true, taLeftJustify, 0},
      {ftGraphic, "TGraphicField", true, taLeftJustify, 0},
      {ftTypedBinary, "TBlobField", true, taLeftJustify, 0},
      {ftOraClob, "TMemoField", true, taLeftJustify, 0},
  };
  for (const Row& r : rows) {
    OneField f(r.type, 8);
    EXPECT_EQ(ToUtf8(f.field->ClassName()), r.className) << r.className;
    EXPECT_EQ(f.field->DataType(), r.type) << r.className;
    EXPECT_EQ(f.field->IsBlob(), r.isBlob) << r.className;
    EXPECT_EQ(f.field->Alignment(), r.alignment) << r.className;
    EXPECT_EQ(f.field->Precision(), r.precision) << r.className;
    // Null handling is the same for every kind.
    EXPECT_TRUE(f.field->IsNull()) << r.className;
    EXPECT_EQ(f.field->AsString(), u"") << r.className;
    EXPECT_TRUE(f.field->AsVariant().IsNull()) << r.className;
    EXPECT_EQ(f.field->AsInteger(), 0);
    EXPECT_FALSE(f.field->AsBoolean());
    const Variant one(int32_t{1});
    f.field->SetAsVariant(one);
    EXPECT_FALSE(f.field->IsNull()) << r.className;
    f.field->Clear();
    EXPECT_TRUE(f.field->IsNull()) << r.className;
    f.field->SetAsVariant(one);
    f.field->SetAsVariant(Variant::Null());
    EXPECT_TRUE(f.field->IsNull()) << r.className;
    f.field->SetAsVariant(one);
    f.field->SetAsVariant(Variant());
    EXPECT_TRUE(f.field->IsNull()) << r.className;
  }
  OneField str(ftString, 0);
  EXPECT_EQ(str.field->Size(), 20);  // the default size of a string field
}

TEST(FieldKinds, ConversionsOfAssignedValues) {
  ScopedRegionalSettings us{FormatSettings()};
  const TDateTime newYearsEve = EncodeDate(2020, 12, 31);
  const TDateTime evening = EncodeTime(19, 5, 0, 0);
  struct Row {
    const char* what;
    TFieldType type;
    int32_t size;
    Variant value;
    const char* text;    // AsString afterwards
    VarType readsAs;     // AsVariant's kind afterwards
  } rows[] = {
      {"string cut to size", ftString, 5, Variant(u"hello world"), "hello", VarType::String},
      {"string from integer", ftString, 5, Variant(int32_t{42}), "42", VarType::String},
      {"string from Boolean", ftString, 5, Variant(true), "True", VarType::String},
      {"string from double", ftString, 5, Variant(1.5), "1.5", VarType::String},
      {"empty string is not null", ftString, 5, Variant(u""), "", VarType::String},
      {"wide string keeps every character", ftWideString, 3, Variant(u"\u0416\u65E5\u00E9x"), "\u0416\u65E5\u00E9",
       VarType::String},
      {"smallint from text", ftSmallint, 0, Variant(u" 123 "), "123", VarType::Integer},
      {"integer from decimal text rounds", ftInteger, 0, Variant(u"2.5"), "2", VarType::Integer},
      {"integer from double", ftInteger, 0, Variant(-7.0), "-7", VarType::Integer},
      {"integer blank text is null", ftInteger, 0, Variant(u"  "), "", VarType::Null},
      {"integer from Boolean", ftInteger, 0, Variant(true), "-1", VarType::Integer},
      {"word", ftWord, 0, Variant(int32_t{65535}), "65535", VarType::Integer},
      {"auto-increment", ftAutoInc, 0, Variant(u"5"), "5", VarType::Integer},
      {"large integer", ftLargeint, 0, Variant(u"9223372036854775807"), "9223372036854775807", VarType::Int64},
      {"float", ftFloat, 0, Variant(u"1.25"), "1.25", VarType::Double},
      {"float at precision 15", ftFloat, 0, Variant(0.1 + 0.2), "0.3", VarType::Double},
      {"float exponent", ftFloat, 0, Variant(1e20), "1e+20", VarType::Double},
      {"currency", ftCurrency, 0, Variant(u"18.50"), "18.5", VarType::Currency},
      {"currency rounds to four decimals", ftCurrency, 0, Variant(1.23456), "1.2346", VarType::Currency},
      {"BCD", ftBCD, 4, Variant(2.5), "2.5", VarType::Currency},
      {"Boolean true", ftBoolean, 0, Variant(u"True"), "True", VarType::Boolean},
      {"Boolean any case", ftBoolean, 0, Variant(u"false"), "False", VarType::Boolean},
      {"Boolean from number", ftBoolean, 0, Variant(int32_t{0}), "False", VarType::Boolean},
      {"Boolean blank is null", ftBoolean, 0, Variant(u""), "", VarType::Null},
      {"date from text", ftDate, 0, Variant(u"12/31/2020"), "12/31/2020", VarType::Date},
      {"date drops the time", ftDate, 0, Variant::FromDate(newYearsEve + evening), "12/31/2020", VarType::Date},
      {"time from text", ftTime, 0, Variant(u"7:05 PM"), "7:05:00 PM", VarType::Date},
      {"time drops the day", ftTime, 0, Variant::FromDate(newYearsEve + evening), "7:05:00 PM", VarType::Date},
      {"date-time", ftDateTime, 0, Variant(u"12/31/2020 7:05:00 PM"), "12/31/2020 7:05:00 PM", VarType::Date},
      {"date-time at midnight", ftDateTime, 0, Variant::FromDate(newYearsEve), "12/31/2020", VarType::Date},
      {"date-time from number", ftDateTime, 0, Variant(1.5), "12/31/1899 12:00:00 PM", VarType::Date},
      {"memo keeps long text", ftMemo, 5, Variant(u"longer than five"), "longer than five", VarType::String},
      {"blob from text", ftBlob, 0, Variant(u"abc"), "abc", VarType::ByteArray},
      {"blob from bytes", ftBlob, 0, Variant(Variant::Bytes{'h', 'i'}), "hi", VarType::ByteArray},
      {"graphic", ftGraphic, 0, Variant(Variant::Bytes{1, 2, 3}), "\x01\x02\x03", VarType::ByteArray},
      {"bytes cut to size", ftBytes, 2, Variant(Variant::Bytes{1, 2, 3}), "\x01\x02", VarType::ByteArray},
  };
  for (const Row& r : rows) {
    OneField f(r.type, r.size);
    f.field->SetAsVariant(r.value);
    EXPECT_EQ(ToUtf8(f.field->AsString()), r.text) << r.what;
    EXPECT_EQ(f.field->AsVariant().Type(), r.readsAs) << r.what;
    // The posted row reads the same as the pending one.
    f.ds->Post();
    EXPECT_EQ(ToUtf8(f.field->AsString()), r.text) << r.what << " (posted)";
  }
}

TEST(FieldKinds, ValuesThatDoNotConvert) {
  ScopedRegionalSettings us{FormatSettings()};
  Variant array(Variant::Array{Variant(int32_t{1})});
  struct Row {
    const char* what;
    TFieldType type;
    Variant value;
    const char* kind;  // "convert": EConvertError, "database": EDatabaseError
    const char* message;
  } rows[] = {
      {"integer text", ftInteger, Variant(u"abc"), "convert", "'abc' is not a valid integer value"},
      {"smallint text", ftSmallint, Variant(u"12x"), "convert", "'12x' is not a valid integer value"},
      {"float text", ftFloat, Variant(u"x1"), "convert", "'x1' is not a valid floating point value"},
      {"date text", ftDate, Variant(u"31.12.2020"), "convert", "'31.12.2020' is not a valid date and time"},
      {"smallint range", ftSmallint, Variant(int32_t{40000}), "database",
       "40000 is not a valid value for field 'F'. The allowed range is -32768 to 32767"},
      {"word range", ftWord, Variant(int32_t{-1}), "database",
       "-1 is not a valid value for field 'F'. The allowed range is 0 to 65535"},
      {"integer range", ftInteger, Variant(int64_t{2147483648LL}), "database",
       "2147483648 is not a valid value for field 'F'. The allowed range is -2147483648 to 2147483647"},
      {"Boolean text", ftBoolean, Variant(u"maybe"), "database", "Invalid value for field 'F'"},
      {"array into string", ftString, array, "database", "Invalid value for field 'F'"},
      {"array into memo", ftMemo, array, "database", "Invalid value for field 'F'"},
      {"array into integer", ftInteger, array, "database", "Invalid value for field 'F'"},
      {"array into float", ftFloat, array, "database", "Invalid value for field 'F'"},
      {"array into date", ftDateTime, array, "database", "Invalid value for field 'F'"},
      {"huge into currency", ftCurrency, Variant(1e300), "database", "Invalid value for field 'F'"},
  };
  for (const Row& r : rows) {
    OneField f(r.type, 10);
    f.field->SetAsVariant(Variant(int32_t{1}));
    UnicodeString before = f.field->AsString();
    std::string kind = r.kind;
    auto assign = [&] { f.field->SetAsVariant(r.value); };
    std::string message = kind == "convert" ? MessageOf<EConvertError>(assign) : MessageOf<EDatabaseError>(assign);
    EXPECT_EQ(message, r.message) << r.what;
    EXPECT_EQ(f.field->AsString(), before) << r.what << ": a failed assignment changes nothing";
  }
  // SetAsString follows the same rule.
  OneField i(ftInteger, 0);
  EXPECT_EQ(MessageOf<EConvertError>([&] { i.field->SetAsString(u"abc"); }), "'abc' is not a valid integer value");
}

TEST(FieldKinds, TypedAccessors) {
  ScopedRegionalSettings us{FormatSettings()};
  OneField f(ftString, 30);
  f.field->SetAsInteger(-12);
  EXPECT_EQ(f.field->AsString(), u"-12");
  EXPECT_EQ(f.field->AsInteger(), -12);
  f.field->SetAsLargeInt(int64_t{1} << 40);
  EXPECT_EQ(f.field->AsLargeInt(), int64_t{1} << 40);
  f.field->SetAsFloat(2.5);
  EXPECT_DOUBLE_EQ(f.field->AsFloat(), 2.5);
  f.field->SetAsBoolean(true);
  EXPECT_TRUE(f.field->AsBoolean());
  EXPECT_EQ(MessageOf<EConvertError>([&] {
              f.field->SetAsString(u"x");
              f.field->AsInteger();
            }),
            "'x' is not a valid integer value");

  OneField d(ftDateTime, 0);
  TDateTime when = EncodeDate(2024, 2, 29) + EncodeTime(6, 30, 0, 0);
  d.field->SetAsDateTime(when);
  EXPECT_DOUBLE_EQ(d.field->AsDateTime(), when);
  EXPECT_EQ(d.field->AsVariant().AsDate(), when);

  OneField c(ftCurrency, 0);
  c.field->SetAsCurrency(Currency::FromScaled(123456));
  EXPECT_EQ(c.field->AsCurrency().scaled, 123456);
  EXPECT_DOUBLE_EQ(c.field->AsFloat(), 12.3456);

  OneField b(ftBoolean, 0);
  b.field->SetAsBoolean(false);
  EXPECT_EQ(b.field->AsVariant(), Variant(false));
  EXPECT_EQ(b.field->AsInteger(), 0);

  OneField n(ftLargeint, 0);
  n.field->SetAsLargeInt(-5);
  EXPECT_EQ(n.field->AsVariant(), Variant(int64_t{-5}));
}

TEST(FieldKinds, TextFormsFollowRegionalSettings) {
  FormatSettings german;
  german.DecimalSeparator = u',';
  german.DateSeparator = u'.';
  german.ShortDateFormat = u"dd/MM/yyyy";
  german.LongTimeFormat = u"hh:nn:ss";
  ScopedRegionalSettings settings{german};
  OneField f(ftFloat, 0);
  f.field->SetAsString(u"1,5");
  EXPECT_EQ(f.field->AsString(), u"1,5");
  OneField d(ftDate, 0);
  d.field->SetAsString(u"31.12.2020");
  EXPECT_EQ(d.field->AsString(), u"31.12.2020");
  OneField t(ftTime, 0);
  t.field->SetAsString(u"19:05");
  EXPECT_EQ(t.field->AsString(), u"19:05:00");
}

TEST(FieldKinds, PrecisionShapesFloatText) {
  OneField f(ftFloat, 0);
  f.field->SetAsFloat(3.14159265358979);
  f.field->SetPrecision(4);
  EXPECT_EQ(f.field->AsString(), u"3.142");
  EXPECT_DOUBLE_EQ(f.field->AsFloat(), 3.14159265358979);  // the value itself is kept
}
