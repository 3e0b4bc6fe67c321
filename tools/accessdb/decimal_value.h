// Decimal (numeric) cells of the Access database writer.
#pragma once

#include <string>

namespace accessdb {

// The 17 stored bytes of a decimal number given as text ("-50.325", "12"):
// a sign byte (0x80 when negative), then the magnitude scaled by 10^scale as
// four little-endian 32-bit groups, the most significant group first. Throws
// std::invalid_argument for malformed text, more digits after the point than
// `scale` or more digits in all than `precision`.
std::string EncodeDecimal(const std::string& text, int precision, int scale);

}  // namespace accessdb
