// The connect text of DAO's OpenDatabase, such as ";PWD=secret".
#pragma once

#include "runtime/unicode_string.h"

// The value of "PWD=" in `connect` (up to the next ";"), empty when there is
// none. The key ignores ASCII case.
UnicodeString ConnectPassword(UnicodeStringView connect);
