#include "runtime/regional_settings.h"

FormatSettings& RegionalSettings() {
  static FormatSettings settings;
  return settings;
}

ScopedRegionalSettings::ScopedRegionalSettings(const FormatSettings& settings) : saved_(RegionalSettings()) {
  RegionalSettings() = settings;
}

ScopedRegionalSettings::~ScopedRegionalSettings() { RegionalSettings() = saved_; }
