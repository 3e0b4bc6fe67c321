// The platform's regional settings, loaded into the runtime's process-wide
// FormatSettings (runtime/regional_settings.h).
//
// Windows: the user's locale (GetLocaleInfoW, LOCALE_USER_DEFAULT), read the
// way the language runtime reads it at start-up: separators, date formats,
// AM/PM designators, currency string, month and day names; the time formats
// are built from the hour style (12/24 hours, leading zero, designator
// before or after). The two-digit-year window is not a locale setting and
// keeps its default.
// Linux has no such settings: the English (United States) defaults.
#pragma once

#include "runtime/regional_settings.h"

// The platform's settings, without touching RegionalSettings().
FormatSettings PlatformRegionalSettings();

// On its first call, RegionalSettings() := PlatformRegionalSettings() on
// Windows; later calls do nothing, as the runtime reads the locale once per
// process. On Linux it never changes RegionalSettings(), so that what a
// test or the host set stays in force.
void LoadPlatformRegionalSettingsOnce();
