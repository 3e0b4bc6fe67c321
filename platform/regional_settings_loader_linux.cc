#include "platform/regional_settings_loader.h"

FormatSettings PlatformRegionalSettings() { return FormatSettings{}; }

void LoadPlatformRegionalSettingsOnce() {}
