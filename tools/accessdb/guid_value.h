// GUID (replication ID) cells of the Access database writer.
#pragma once

#include <string>

namespace accessdb {

// The 16 stored bytes of "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits
// of either case): the first three groups little-endian, the last two as
// written. Throws std::invalid_argument for any other text.
std::string EncodeGuid(const std::string& text);

}  // namespace accessdb
