#include "import_engine/field_value_conversion.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "dataset/field_factory.h"
#include "import_engine/date_time_parsing.h"
#include "import_engine/t_smi_data_formats.h"
#include "runtime/exceptions.h"
#include "runtime/regional_settings.h"
#include "runtime/utf8.h"

namespace {

std::unique_ptr<TField> Field(const char16_t* name, TFieldType type, int32_t size = 0) {
  std::unique_ptr<TField> field = CreateField(nullptr, name, type, size, 0);
  EXPECT_NE(field, nullptr);
  return field;
}

// Formats as the component sets them up, with US regional values.
TSMIDataFormats UsFormats() {
  ScopedRegionalSettings us{FormatSettings()};
  TSMIDataFormats formats;
  formats.SetBooleanTrue(u"True");
  formats.SetBooleanFalse(u"False");
  return formats;
}

struct Row {
  Variant input;
  std::optional<Variant> expected;  // nothing: the conversion raises and the input stays
};

std::string Label(const Variant& v) {
  if (v.IsArray()) return "array";
  return ToUtf8(v.ToString()) + " (kind " + std::to_string(static_cast<int>(v.Type())) + ")";
}

void CheckRows(const std::vector<Row>& rows, const TField& field, const TSMIDataFormats& formats,
               bool calledByCalculator = true, TTableTypeImport tableType = teAccess, bool isXml = false) {
  for (const Row& r : rows) {
    Variant value = r.input;
    if (r.expected) {
      ConvertForField(value, field, formats, tableType, isXml, calledByCalculator);
      EXPECT_EQ(value, *r.expected) << Label(r.input) << " -> " << Label(value);
    } else {
      EXPECT_THROW(ConvertForField(value, field, formats, tableType, isXml, calledByCalculator), EConvertError)
          << Label(r.input);
      EXPECT_EQ(value, r.input) << Label(r.input);
    }
  }
}

Variant Int(int32_t i) { return Variant(i); }
Variant Date(int32_t y, int32_t m, int32_t d, int32_t h = 0, int32_t n = 0, int32_t s = 0) {
  return Variant::FromDate(CombineDateTime(EncodeDate(y, m, d), EncodeTime(h, n, s, 0)));
}
Variant Time(int32_t h, int32_t n, int32_t s = 0) { return Variant::FromDate(EncodeTime(h, n, s, 0)); }

TEST(ConvertForField, BooleanWords) {
  TSMIDataFormats formats = UsFormats();
  formats.SetBooleanTrue(u"Ja");
  formats.SetBooleanFalse(u"Nein");
  const auto field = Field(u"Done", ftBoolean);
  CheckRows(
      {
          {u"Ja", Variant(true)},      {u"True", Variant(true)},    {u"1", Variant(true)},
          {u"T", Variant(true)},       {u"Y", Variant(true)},       {u"Nein", Variant(false)},
          {u"False", Variant(false)},  {u"0", Variant(false)},      {u"F", Variant(false)},
          {u"N", Variant(false)},      {u"-1", Variant::Null()},    {u"true", Variant(u"true")},
          {u"ja", Variant(u"ja")},     {u"yes", Variant(u"yes")},   {u" 1", Variant(u" 1")},
          // Any value by its text form.
          {Variant(true), Variant(true)}, {Variant(false), Variant(false)}, {Int(1), Variant(true)},
          {Int(0), Variant(false)},       {Int(-1), Variant::Null()},       {Int(2), Int(2)},
          {Variant(1.0), Variant(true)},
      },
      *field, formats);
}

TEST(ConvertForField, EmptyBooleanWordsMatchNothing) {
  TSMIDataFormats formats;  // no words set
  const auto field = Field(u"Done", ftBoolean);
  CheckRows({{u"", Variant(u"")}, {u"True", Variant(true)}, {u"0", Variant(false)}}, *field, formats);
}

TEST(ConvertForField, IntegerFamilies) {
  const TSMIDataFormats formats = UsFormats();
  for (TFieldType type : {ftSmallint, ftInteger, ftWord, ftAutoInc, ftLargeint}) {
    SCOPED_TRACE(static_cast<int>(type));
    const auto field = Field(u"Qty", type);
    CheckRows(
        {
            {u"", Int(0)},        {u"   ", Int(0)},         {u"Qty", Int(0)},       {u"qTY", Int(0)},
            {u"12", Variant(u"12")}, {u"abc", Variant(u"abc")}, {u" Qty", Variant(u" Qty")},
            {Int(5), Int(5)},     {Variant(2.5), Variant(2.5)},
        },
        *field, formats);
  }
}

// The field's name is compared by Unicode's upper-case rules, not the process
// locale's: dotless i upper-cases to I, umlauts to their capitals.
TEST(ConvertForField, FieldNameComparisonFoldsNonAsciiLetters) {
  const TSMIDataFormats formats = UsFormats();
  const auto id = Field(u"ID", ftInteger);
  CheckRows({{u"\u0131d", Int(0)}, {u"\u0131D", Int(0)}, {u"iD", Int(0)}, {u"\u0130D", Variant(u"\u0130D")}}, *id,
            formats);
  const auto menge = Field(u"M\u00C4NGE", ftFloat);
  CheckRows({{u"m\u00E4nge", Int(0)}, {u"mange", Variant(u"mange")}}, *menge, formats);
}

TEST(ConvertForField, FloatFamiliesWithSeparatorsAndCurrency) {
  const TSMIDataFormats formats = UsFormats();
  for (TFieldType type : {ftFloat, ftCurrency, ftBCD}) {
    SCOPED_TRACE(static_cast<int>(type));
    const auto field = Field(u"Amount", type);
    CheckRows(
        {
            {u"$1,234.50", Variant(1234.5)},
            {u".5", Variant(0.5)},
            {u"-3.25", Variant(-3.25)},
            {u"1,234", Variant(1234.0)},
            {u"2e3", Variant(2000.0)},
            {u"NULL", Variant::Null()},
            {u"null", Variant::Null()},
            {u"$NULL", Variant::Null()},
            {u"Amount", Int(0)},
            {u"$amount", Int(0)},
            {u"  ", Int(0)},
            {u"12abc", Variant(u"12abc")},
            {u"$ 12", Variant(u" 12")},
            {u"USD", Variant(u"USD")},
            {u"$1$2", Variant(u"1$2")},
            // Numeric but beyond a double: the conversion fails.
            {u"1e400", std::nullopt},
            {Variant(2.5), Variant(2.5)},
            {Int(3), Int(3)},
        },
        *field, formats);
  }
}

TEST(ConvertForField, FloatTextsStayCleanedTextsOutsideTheCalculator) {
  const TSMIDataFormats formats = UsFormats();
  const auto field = Field(u"Amount", ftFloat);
  CheckRows({{u"$1,234.50", Variant(u"1234.50")}, {u".5", Variant(u"0.5")}, {u"NULL", Variant::Null()},
             {u"", Int(0)}},
            *field, formats, /*calledByCalculator=*/false);
}

TEST(ConvertForField, FloatRuleReadsTheSourceDecimalSeparatorAndRestoresTheRegionalOne) {
  TSMIDataFormats formats = UsFormats();
  formats.SetDecimalSeparator(u',');
  formats.SetThousandSeparator(u'.');
  formats.SetCurrencyString(u"\u20AC");
  const auto field = Field(u"Amount", ftFloat);
  ASSERT_EQ(RegionalSettings().DecimalSeparator, u'.');
  CheckRows(
      {
          {u"1.234,50\u20AC", Variant(1234.5)},
          {u",5", Variant(0.5)},
          {u"1.234,50 \u20AC", Variant(u"1234,50 ")},
          {u"1,5e400", std::nullopt},
      },
      *field, formats);
  EXPECT_EQ(RegionalSettings().DecimalSeparator, u'.');
}

TEST(ConvertForField, DateFamilies) {
  TSMIDataFormats formats = UsFormats();
  formats.SetDateOrder(doDMY);
  formats.SetDateSeparator(u'.');
  formats.SetFourDigitYear(true);
  FormatSettings settings;
  settings.TwoDigitYearCenturyWindow = 50;
  ScopedRegionalSettings scoped(settings);
  ScopedCurrentYear year(2026);
  for (TFieldType type : {ftDate, ftDateTime}) {
    SCOPED_TRACE(static_cast<int>(type));
    const auto field = Field(u"Born", type);
    CheckRows(
        {
            {u"31.12.2020", Date(2020, 12, 31)},
            {u" 31.12.2020 ", Date(2020, 12, 31)},
            {u"31.12.20", Date(2020, 12, 31)},
            {u"31.12.2020 13:45:10", Date(2020, 12, 31, 13, 45, 10)},
            {u"30.02.2020", std::nullopt},
            {u"31.12.2020 24:00:00", std::nullopt},
            {u"32.12.2020", Variant(u"32.12.2020")},
            {u"12/31/2020", Variant(u"12/31/2020")},
            {u"abc", Variant(u"abc")},
            {u"", Variant::Null()},
            {u"  ", Variant::Null()},
            {u"..", Variant::Null()},
            {u"1899/12/30", Variant::Null()},
            {u"Born", Variant::Null()},
            {u"born", Variant::Null()},
            {Variant(44000.0), Variant(44000.0)},
            {Int(7), Int(7)},
            {Date(2001, 2, 3), Date(2001, 2, 3)},
            {Variant(true), Variant(true)},
        },
        *field, formats);
  }
}

TEST(ConvertForField, DatePictureFollowsTheSourceAndTheCustomFormat) {
  TSMIDataFormats formats = UsFormats();
  formats.SetDateOrder(doYMD);
  formats.SetDateSeparator(u'-');
  formats.SetFourDigitYear(true);
  const auto field = Field(u"Born", ftDateTime);
  CheckRows({{u"2020-12-31", Date(2020, 12, 31)}}, *field, formats, true, teXML, true);
  formats.SetCustomDateTimeFormat(u"dd-mmm-yyyy");
  CheckRows({{u"05-Mar-2021", Date(2021, 3, 5)}}, *field, formats);
}

TEST(ConvertForField, TimeField) {
  const TSMIDataFormats formats = UsFormats();
  const auto field = Field(u"At", ftTime);
  CheckRows(
      {
          {u"19:05", Time(19, 5)},
          {u"07:05:00 PM", Time(19, 5)},
          {u" 07:05:00 PM ", Time(19, 5)},
          {u"7:05 PM", std::nullopt},
          {u"24:00", std::nullopt},
          {u"23:60", Variant::FromDate(0)},
          {u"abc", Variant::FromDate(0)},
          {u"", Int(0)},
          {u"  ", Int(0)},
          {u"at", Int(0)},
          {Variant(0.5), Variant(0.5)},
          {Time(1, 2, 3), Time(1, 2, 3)},
      },
      *field, formats);
}

TEST(ConvertForField, OtherTypesOnlyGetTheCDataRule) {
  const TSMIDataFormats formats = UsFormats();
  for (TFieldType type : {ftString, ftMemo, ftWideString, ftBlob}) {
    SCOPED_TRACE(static_cast<int>(type));
    const auto field = Field(u"Text", type, 20);
    CheckRows(
        {
            {u"  x  ", Variant(u"  x  ")},
            {u"Text", Variant(u"Text")},
            {u"", Variant(u"")},
            {u"[CDATA[hello]]", Variant(u"hello")},
            {u"[CDATA[x", Variant(u"")},
            {u"[CDATA[]]", Variant(u"")},
            {u"aGVsbG8=", Variant(u"aGVsbG8=")},
            {Int(1), Int(1)},
        },
        *field, formats);
  }
}

TEST(ConvertForField, CDataAndBlobsOfXmlSourcesAreBase64) {
  const TSMIDataFormats formats = UsFormats();
  const auto text = Field(u"Text", ftString, 20);
  const auto memo = Field(u"Notes", ftMemo);
  const auto blob = Field(u"Data", ftBlob);
  CheckRows({{u"[CDATA[aGVsbG8=]]", Variant(u"hello")}, {u"aGVsbG8=", Variant(u"aGVsbG8=")}}, *text, formats,
            true, teXML, true);
  CheckRows({{u"aGVsbG8=", Variant(u"hello")}}, *memo, formats, true, teXML, true);
  CheckRows({{u"AAEC/w==", Variant(UnicodeString{0, 1, 2, 255})}}, *blob, formats, true, teXML, true);
  // The CDATA rule runs before the type rule.
  const auto qty = Field(u"Qty", ftInteger);
  CheckRows({{u"[CDATA[  ]]", Int(0)}}, *qty, formats);
  const auto amount = Field(u"Amount", ftFloat);
  CheckRows({{u"[CDATA[MS41]]", Variant(1.5)}}, *amount, formats, true, teXML, true);
}

TEST(ConvertForField, AFailedTypeRuleLeavesTheCDataResult) {
  TSMIDataFormats formats = UsFormats();
  formats.SetDateOrder(doDMY);
  formats.SetDateSeparator(u'.');
  const auto field = Field(u"Born", ftDate);
  Variant value(u"[CDATA[30.02.2020]]");
  EXPECT_THROW(ConvertForField(value, *field, formats, teText, false, true), EConvertError);
  EXPECT_EQ(value, Variant(u"30.02.2020"));
}

TEST(DecodeBase64ToChars, SkipsForeignCharactersAndStopsAtPadding) {
  struct DecodeRow {
    const char16_t* text;
    UnicodeString decoded;
  } rows[] = {
      {u"aGVsbG8=", u"hello"},  {u"aGVs\r\nbG8", u"hello"}, {u"", u""},         {u"QQ", u"A"},
      {u"Q", u""},              {u"QQ==QUJD", u"A"},        {u"/w==", UnicodeString{255}},
      {u"+/+/", UnicodeString{0xFB, 0xFF, 0xBF}},
  };
  for (const DecodeRow& r : rows) EXPECT_EQ(DecodeBase64ToChars(r.text), r.decoded) << ToUtf8(r.text);
}

}  // namespace
