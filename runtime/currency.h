// Fixed-point currency: a 64-bit integer counting ten-thousandths.
#pragma once

#include <cstdint>

struct Currency {
  int64_t scaled = 0;  // value * 10000
  static Currency FromScaled(int64_t v) { return Currency{v}; }
  double ToDouble() const { return static_cast<double>(scaled) / 10000.0; }
  bool operator==(const Currency& o) const { return scaled == o.scaled; }
};

// An exact decimal number: sign, a magnitude of up to 96 bits and a scale
// (the count of digits after the decimal point, 0 to 28).
struct Decimal {
  bool negative = false;
  uint8_t scale = 0;
  uint32_t hi32 = 0;   // upper 32 bits of the 96-bit magnitude
  uint64_t lo64 = 0;   // lower 64 bits
  bool operator==(const Decimal& o) const {
    return negative == o.negative && scale == o.scale && hi32 == o.hi32 && lo64 == o.lo64;
  }
};
