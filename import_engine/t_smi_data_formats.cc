#include "import_engine/t_smi_data_formats.h"

#include <optional>

#include "runtime/regional_settings.h"

namespace {

// The date order named by the first letters of the three parts of a short
// date format; anything unrecognised keeps month-day-year.
TSMIDateOrder DateOrderFromLetters(char16_t c1, char16_t c2, char16_t c3) {
  struct Row {
    char16_t c1, c2, c3;
    TSMIDateOrder order;
  };
  static const Row kRows[] = {
      {u'D', u'M', u'Y', doDMY}, {u'D', u'Y', u'M', doDYM}, {u'M', u'D', u'Y', doMDY},
      {u'M', u'Y', u'D', doMYD}, {u'Y', u'M', u'D', doYMD}, {u'Y', u'D', u'M', doYDM},
  };
  for (const Row& r : kRows) {
    if (r.c1 == c1 && r.c2 == c2 && r.c3 == c3) return r.order;
  }
  return doMDY;
}

}  // namespace

TSMIDataFormats::TSMIDataFormats() { LoadRegionalSettings(); }

void TSMIDataFormats::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TSMIDataFormats*>(&source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  dateOrder_ = other->dateOrder_;
  dateSeparator_ = other->dateSeparator_;
  timeSeparator_ = other->timeSeparator_;
  fourDigitYear_ = other->fourDigitYear_;
  leadingZerosInDate_ = other->leadingZerosInDate_;
  customDateTimeFormat_ = other->customDateTimeFormat_;
  thousandSeparator_ = other->thousandSeparator_;
  decimalSeparator_ = other->decimalSeparator_;
  currencyString_ = other->currencyString_;
  booleanTrue_ = other->booleanTrue_;
  booleanFalse_ = other->booleanFalse_;
  useRegionalSettings_ = other->useRegionalSettings_;
}

void TSMIDataFormats::LoadRegionalSettings() {
  const FormatSettings& settings = RegionalSettings();
  dateSeparator_ = settings.DateSeparator;
  timeSeparator_ = settings.TimeSeparator;
  dateOrder_ = doMDY;

  const UnicodeString format = UpperCase(settings.ShortDateFormat);
  if (!format.empty()) {
    // A part ends at the date separator or at "/", which the runtime's
    // format patterns use to stand for the date separator.
    auto isSeparator = [&](char16_t c) { return c == dateSeparator_ || c == u'/'; };
    // The text after the first separator of `rest`, or nothing.
    auto nextPart = [&](UnicodeStringView rest) -> std::optional<UnicodeStringView> {
      for (size_t i = 0; i < rest.size(); ++i) {
        if (isSeparator(rest[i])) return rest.substr(i + 1);
      }
      return std::nullopt;
    };
    auto firstChar = [](UnicodeStringView s) -> char16_t { return s.empty() ? 0 : s[0]; };
    const char16_t c1 = format[0];
    char16_t c2 = 0, c3 = 0;
    if (auto second = nextPart(format)) {
      c2 = firstChar(*second);
      if (auto third = nextPart(*second)) c3 = firstChar(*third);
    }
    dateOrder_ = DateOrderFromLetters(c1, c2, c3);
  }

  decimalSeparator_ = settings.DecimalSeparator;
  thousandSeparator_ = settings.ThousandSeparator;
  currencyString_ = settings.CurrencyString;
  fourDigitYear_ = format.find(u"YYYY") != UnicodeString::npos;
  leadingZerosInDate_ = format.find(u"DD") != UnicodeString::npos;
  customDateTimeFormat_.clear();
}
