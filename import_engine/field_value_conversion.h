// Shaping an evaluated cell value for the destination field it is going to.
//
// First the CDATA rule, then a rule chosen by the field's DataType():
//
//   small integer, integer, word, auto-increment, large integer
//       a text that is blank after trimming or equals the field's name
//       (ignoring case) becomes the integer 0; anything else stays.
//   float, currency, BCD
//       a text that is blank after trimming or equals the field's name
//       becomes the integer 0; otherwise, with the regional decimal separator
//       set to the formats' DecimalSeparator for the time of the rule, every
//       ThousandSeparator and the first CurrencyString are removed; the rest
//       becomes 0 when it equals the field's name, Null when it is "NULL"
//       (any case), else gets a "0" before a leading decimal separator and,
//       when called by the calculator and numeric (numeric_text.h), becomes
//       that double; otherwise the cleaned text is the value.
//   date, date-time
//       numbers and date-times stay; a text whose DateDigits are empty or
//       "18991230", or that equals the field's name, becomes Null; otherwise
//       ParseDateTime(trimmed text, BuildDateFormat, separators) gives the
//       date-time when it is not 0, else the text stays.
//   time
//       numbers and date-times stay; a blank text or the field's name becomes
//       the integer 0; any other text the date-time ParseDateTime(trimmed
//       text, BuildTimeFormat without "T", separators), 0 when nothing was
//       read.
//   Boolean
//       any value's text form, compared exactly: BooleanTrue, "True", "1",
//       "T", "Y" give true; else BooleanFalse, "False", "0", "F", "N" give
//       false; else "-1" gives Null; anything else stays. An empty
//       BooleanTrue / BooleanFalse matches nothing.
//   every other type
//       nothing beyond the CDATA rule.
//
// Rules marked "texts" leave values of other kinds alone.
#pragma once

#include "import_engine/smi_types.h"
#include "runtime/unicode_string.h"
#include "runtime/variant.h"

class TField;
class TSMIDataFormats;

// The CDATA rule on a text value (other kinds stay):
//   XML sources: a text beginning with "[CDATA[" is cut to what lies between
//     that prefix and its last two characters and Base64-decoded; any other
//     text for a blob field (TField::IsBlob) is Base64-decoded.
//   other sources: a text beginning with "[CDATA[" is only cut.
// Base64 decoding gives one character per decoded byte (its code is the
// byte).
void ApplyCDataRule(Variant& value, bool isBlobField, bool isXmlSource);

// Decodes Base64 text: characters outside the Base64 alphabet (line breaks,
// blanks) are skipped, decoding ends at the first "=", and a last group of a
// single character (which holds no whole byte) is dropped. Each decoded byte
// becomes one character whose code is the byte.
UnicodeString DecodeBase64ToChars(UnicodeStringView text);

// Applies the CDATA rule and the conversion by `field`'s type to `value`.
// `calledByCalculator`: the value was evaluated through the expression
// calculator (the float rule converts numeric texts only then).
//
// Exceptions (an impossible date, a part that is not a number, a value
// without a text form) are not caught here. When one is raised, `value`
// holds the result of the CDATA rule and nothing of the type rule; the
// regional decimal separator is restored in every case.
void ConvertForField(Variant& value, const TField& field, const TSMIDataFormats& formats,
                     TTableTypeImport tableType, bool isXmlSource, bool calledByCalculator);
