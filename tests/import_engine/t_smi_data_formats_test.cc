#include "import_engine/t_smi_data_formats.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "runtime/regional_settings.h"
#include "runtime/utf8.h"

namespace {

TEST(TSMIDataFormats, LoadRegionalSettingsDerivesOrderAndFlagsFromTheShortDateFormat) {
  struct Row {
    const char16_t* shortDateFormat;
    char16_t dateSeparator;
    TSMIDateOrder order;
    bool fourDigitYear;
    bool leadingZeros;
  } rows[] = {
      {u"dd/MM/yyyy", u'/', doDMY, true, true},
      {u"M/d/yy", u'/', doMDY, false, false},
      {u"dd.MM.yyyy", u'.', doDMY, true, true},
      {u"yyyy-MM-dd", u'-', doYMD, true, true},
      {u"yy/dd/MM", u'/', doYDM, false, true},
      {u"d.yyyy.M", u'.', doDYM, true, false},
      {u"MM-yyyy-d", u'-', doMYD, true, false},
      // One separator: no third part, the order stays month-day-year.
      {u"dd/MM", u'/', doMDY, false, true},
      {u"ddMMyyyy", u'/', doMDY, true, true},
      {u"", u'/', doMDY, false, false},
      // "/" in a runtime format pattern stands for the date separator.
      {u"dd/MM/yyyy", u'.', doDMY, true, true},
  };
  for (const Row& r : rows) {
    FormatSettings settings;
    settings.ShortDateFormat = r.shortDateFormat;
    settings.DateSeparator = r.dateSeparator;
    ScopedRegionalSettings scoped(settings);
    TSMIDataFormats formats;
    formats.SetDateOrder(doYMD);  // must be reset by the load
    formats.LoadRegionalSettings();
    const std::string label = ToUtf8(r.shortDateFormat);
    EXPECT_EQ(formats.DateOrder(), r.order) << label;
    EXPECT_EQ(formats.FourDigitYear(), r.fourDigitYear) << label;
    EXPECT_EQ(formats.LeadingZerosInDate(), r.leadingZeros) << label;
    EXPECT_EQ(formats.DateSeparator(), r.dateSeparator) << label;
  }
}

TEST(TSMIDataFormats, LoadRegionalSettingsCopiesSeparatorsAndKeepsTheLogicalWords) {
  FormatSettings settings;
  settings.ShortDateFormat = u"dd.MM.yyyy";
  settings.DateSeparator = u'.';
  settings.TimeSeparator = u'-';
  settings.DecimalSeparator = u',';
  settings.ThousandSeparator = u'.';
  settings.CurrencyString = u"\u20AC";
  ScopedRegionalSettings scoped(settings);

  TSMIDataFormats formats;
  formats.SetCustomDateTimeFormat(u"yyyy");
  formats.SetBooleanTrue(u"Ja");
  formats.SetBooleanFalse(u"Nein");
  formats.SetUseRegionalSettings(true);
  formats.LoadRegionalSettings();

  EXPECT_EQ(formats.TimeSeparator(), u'-');
  EXPECT_EQ(formats.DecimalSeparator(), u',');
  EXPECT_EQ(formats.ThousandSeparator(), u'.');
  EXPECT_EQ(formats.CurrencyString(), u"\u20AC");
  EXPECT_EQ(formats.CustomDateTimeFormat(), u"");
  EXPECT_EQ(formats.BooleanTrue(), u"Ja");
  EXPECT_EQ(formats.BooleanFalse(), u"Nein");
  EXPECT_TRUE(formats.UseRegionalSettings());
}

TEST(TSMIDataFormats, ConstructionLoadsRegionalValuesButNoLogicalWords) {
  FormatSettings settings;
  settings.ShortDateFormat = u"dd/MM/yyyy";
  settings.DecimalSeparator = u',';
  ScopedRegionalSettings scoped(settings);
  TSMIDataFormats formats;
  EXPECT_EQ(formats.DateOrder(), doDMY);
  EXPECT_EQ(formats.DecimalSeparator(), u',');
  EXPECT_EQ(formats.BooleanTrue(), u"");
  EXPECT_EQ(formats.BooleanFalse(), u"");
  EXPECT_FALSE(formats.UseRegionalSettings());
}

TEST(TSMIDataFormats, AssignCopiesAllTwelveValues) {
  TSMIDataFormats source;
  source.SetDateOrder(doYDM);
  source.SetDateSeparator(u'-');
  source.SetTimeSeparator(u'.');
  source.SetFourDigitYear(true);
  source.SetLeadingZerosInDate(true);
  source.SetCustomDateTimeFormat(u"YYYYMMDD");
  source.SetThousandSeparator(u' ');
  source.SetDecimalSeparator(u',');
  source.SetCurrencyString(u"kr");
  source.SetBooleanTrue(u"Ja");
  source.SetBooleanFalse(u"Nej");
  source.SetUseRegionalSettings(true);

  TSMIDataFormats target;
  target.SetFourDigitYear(false);
  target.SetLeadingZerosInDate(false);
  target.Assign(source);

  EXPECT_EQ(target.DateOrder(), doYDM);
  EXPECT_EQ(target.DateSeparator(), u'-');
  EXPECT_EQ(target.TimeSeparator(), u'.');
  EXPECT_TRUE(target.FourDigitYear());
  EXPECT_TRUE(target.LeadingZerosInDate());
  EXPECT_EQ(target.CustomDateTimeFormat(), u"YYYYMMDD");
  EXPECT_EQ(target.ThousandSeparator(), u' ');
  EXPECT_EQ(target.DecimalSeparator(), u',');
  EXPECT_EQ(target.CurrencyString(), u"kr");
  EXPECT_EQ(target.BooleanTrue(), u"Ja");
  EXPECT_EQ(target.BooleanFalse(), u"Nej");
  EXPECT_TRUE(target.UseRegionalSettings());
}

TEST(TSMIDataFormats, AssignFromAnotherKindIsRefused) {
  class Other : public TPersistent {
   public:
    UnicodeString ClassName() const override { return u"TOther"; }
  } other;
  TSMIDataFormats formats;
  try {
    formats.Assign(other);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"Cannot assign a TOther to a TSMIDataFormats");
  }
}

}  // namespace
