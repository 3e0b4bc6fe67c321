// TSMIDataFormats: how the import engine reads source texts as dates, times,
// numbers and logical values.
//
// A plain value object owned by the import component (which creates it,
// loads the regional values into it and sets the logical-value words).
// Copying between two formats objects goes through Assign.
//
// Construction loads the regional values (LoadRegionalSettings), so that a
// formats object is usable on its own, and leaves BooleanTrue and
// BooleanFalse empty: those two words are not regional, the owning component
// sets them ("True" / "False") after construction. An empty word matches no
// value (see field_value_conversion.h).
#pragma once

#include "import_engine/smi_types.h"
#include "runtime/component.h"
#include "runtime/unicode_string.h"

class TSMIDataFormats : public TPersistent {
 public:
  TSMIDataFormats();

  UnicodeString ClassName() const override { return u"TSMIDataFormats"; }

  // Copies all twelve values from another TSMIDataFormats; any other source
  // is refused by the persistent base (EConvertError).
  void Assign(const TPersistent& source) override;

  // Reads the process's regional settings (RegionalSettings()): separators,
  // the date order, year and leading-zero flags derived from the short date
  // format, decimal and thousand separators and the currency string.
  // CustomDateTimeFormat becomes empty. BooleanTrue, BooleanFalse and
  // UseRegionalSettings are left as they are.
  void LoadRegionalSettings();

  TSMIDateOrder DateOrder() const { return dateOrder_; }
  void SetDateOrder(TSMIDateOrder value) { dateOrder_ = value; }
  char16_t DateSeparator() const { return dateSeparator_; }
  void SetDateSeparator(char16_t value) { dateSeparator_ = value; }
  char16_t TimeSeparator() const { return timeSeparator_; }
  void SetTimeSeparator(char16_t value) { timeSeparator_ = value; }
  bool FourDigitYear() const { return fourDigitYear_; }
  void SetFourDigitYear(bool value) { fourDigitYear_ = value; }
  bool LeadingZerosInDate() const { return leadingZerosInDate_; }
  void SetLeadingZerosInDate(bool value) { leadingZerosInDate_ = value; }
  const UnicodeString& CustomDateTimeFormat() const { return customDateTimeFormat_; }
  void SetCustomDateTimeFormat(const UnicodeString& value) { customDateTimeFormat_ = value; }
  char16_t ThousandSeparator() const { return thousandSeparator_; }
  void SetThousandSeparator(char16_t value) { thousandSeparator_ = value; }
  char16_t DecimalSeparator() const { return decimalSeparator_; }
  void SetDecimalSeparator(char16_t value) { decimalSeparator_ = value; }
  const UnicodeString& CurrencyString() const { return currencyString_; }
  void SetCurrencyString(const UnicodeString& value) { currencyString_ = value; }
  const UnicodeString& BooleanTrue() const { return booleanTrue_; }
  void SetBooleanTrue(const UnicodeString& value) { booleanTrue_ = value; }
  const UnicodeString& BooleanFalse() const { return booleanFalse_; }
  void SetBooleanFalse(const UnicodeString& value) { booleanFalse_ = value; }
  // When true, the base source reloads the regional values at the start of
  // every run.
  bool UseRegionalSettings() const { return useRegionalSettings_; }
  void SetUseRegionalSettings(bool value) { useRegionalSettings_ = value; }

 private:
  TSMIDateOrder dateOrder_ = doMDY;
  char16_t dateSeparator_ = u'/';
  char16_t timeSeparator_ = u':';
  bool fourDigitYear_ = false;
  bool leadingZerosInDate_ = false;
  UnicodeString customDateTimeFormat_;
  char16_t thousandSeparator_ = u',';
  char16_t decimalSeparator_ = u'.';
  UnicodeString currencyString_;
  UnicodeString booleanTrue_;
  UnicodeString booleanFalse_;
  bool useRegionalSettings_ = false;
};
