// The servers this platform provides without registration (internal to
// platform/automation/).
#pragma once

#include "platform/automation/automation_server_registry.h"

// The built-in factory for `className`, or an empty one.
AutomationServerFactory FindBuiltinServer(UnicodeStringView className);
