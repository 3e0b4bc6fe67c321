// Page 0 of a Jet file: signature, version and the masked header area that
// holds code page, sort order, page key, password and creation date.
#pragma once

#include "tools/accessdb/byte_buffer.h"
#include "tools/accessdb/jet_format.h"

namespace accessdb {

// The complete header page, masked as stored; empty password, pages unencrypted.
// `ace_version` 2 to 6 marks an Access 2007-2019 file; 0 a Jet 3 or Jet 4 one.
Bytes BuildHeaderPage(const JetFormat& format, int code_page, double creation_date, int ace_version = 0);

// Undoes the mask in place (for tests: the mask is its own inverse).
void ToggleHeaderMask(const JetFormat& format, Bytes& page);

}  // namespace accessdb
