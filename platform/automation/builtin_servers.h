// The servers this platform provides without registration.
//
// Declared here, defined by the servers' own folder (on Linux
// platform/dao/dao_builtin_servers.cc), so that late binding needs no
// server's headers: the servers build on late binding, not the reverse.
#pragma once

#include "platform/automation/automation_server_registry.h"

// The built-in factory for `className`, or an empty one.
AutomationServerFactory FindBuiltinServer(UnicodeStringView className);
