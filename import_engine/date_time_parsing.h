// Reading dates and times from source texts by a picture of letters
// (DD, MM, YY, HH, NN, SS), and building that picture from the engine's
// formats.
#pragma once

#include <cstdint>

#include "import_engine/smi_types.h"
#include "runtime/date_time.h"
#include "runtime/unicode_string.h"

class TSMIDataFormats;

// Reads `text` by the picture `format` (upper-cased before use). A character
// of either is a separator when it is a blank, "/", ":", `dateSeparator` or
// `timeSeparator`. Text and picture are first aligned on their separators;
// then every other character of the text goes to the part named by the
// picture letter at its position: D day, M month, Y year, H hour, N minute,
// S second (other letters are ignored).
//
// Day, month and year, when all three are present, give the date: the month
// may be a number or, with three characters or more, a month name (JAN ..
// DEC, JANUARY .. DECEMBER or the regional short and long names, ignoring
// case); a day outside 1..31 or a month outside 1..12 (or an unknown name)
// leaves the date out. A year below 100 is placed by PlaceTwoDigitYear with
// `currentYear` and the regional two-digit-year century window. Hour and
// minute, when present (second 0 when absent), give the time of day, 12 hours
// later when the text carries the regional PM designator (or "PM"/"pm" when
// that is empty) and the hour is below 12; hours outside 0..24, minutes or
// seconds outside 0..59 leave the time out.
//
// Returns the date plus the time of day, 0 when nothing was read.
// Raises EConvertError when a part that is used is not an integer
// ("'x' is not a valid integer value"), when the date does not exist
// (30 February: "Invalid argument to date encode") and for the hour 24
// ("Invalid argument to time encode").
TDateTime ParseDateTime(UnicodeStringView text, UnicodeStringView format, char16_t dateSeparator,
                        char16_t timeSeparator, int32_t currentYear);
// The same with the current year: CurrentYear().
TDateTime ParseDateTime(UnicodeStringView text, UnicodeStringView format, char16_t dateSeparator,
                        char16_t timeSeparator);

// The date-time picture for `formats`: CustomDateTimeFormat upper-cased when
// it is set; otherwise "MM", "DD" and "YY" (or "YYYY" with FourDigitYear) in
// DateOrder joined by DateSeparator (nothing when that is code 0), a blank
// and BuildTimeFormat (with "T" for teXML sources).
UnicodeString BuildDateFormat(const TSMIDataFormats& formats, TTableTypeImport tableType);
// "HH", TimeSeparator, "NN", TimeSeparator, "SS" (the separator left out when
// it is code 0), with "T" in front when `withT`.
UnicodeString BuildTimeFormat(const TSMIDataFormats& formats, bool withT);
// `text` without any "/", ":", DateSeparator or TimeSeparator, trimmed.
UnicodeString DateDigits(UnicodeStringView text, const TSMIDataFormats& formats);
