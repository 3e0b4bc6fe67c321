// File names as the Windows runtime reads them.
#pragma once

#include "runtime/unicode_string.h"

// The extension, dot included: from the last '.' to the end, unless a '\'
// or ':' comes after that dot (then none). '/' is no separator here.
UnicodeString ExtractFileExt(const UnicodeString& path);
