// Decimal (numeric) cells of the Access database writer.
#pragma once

#include <string>

namespace accessdb {

// The 17 stored bytes of a decimal column's value given as text ("-50.325",
// "12"): a sign byte (0x80 when negative), then the magnitude scaled by
// 10^scale as four little-endian 32-bit groups, the most significant group
// first. Throws std::invalid_argument for malformed text, more digits after
// the point than `scale` or more digits in all than `precision`.
std::string EncodeDecimal(const std::string& text, int precision, int scale);

// The 16 bytes Access stores for a calculated Decimal result, in the layout of
// the Windows DECIMAL structure: 14 (2 bytes), the scale (the digits after the
// point as given, 0 to 28), the sign (0x80 when negative), the magnitude's high
// 32 bits, then its low 64 bits, all little-endian. Throws
// std::invalid_argument for malformed text, more than 28 digits after the point
// or a magnitude beyond 96 bits.
std::string EncodeCalculatedDecimal(const std::string& text);

}  // namespace accessdb
