// EnumSet<E>: a small set over the members of a plain enumeration whose codes
// are 0 to 63, the C++ stand-in for the runtime's `set of` types
// (TIndexOptions, TLocateOptions).
//
//   TIndexOptions options{ixPrimary, ixUnique};
//   if (options.Contains(ixUnique)) ...
#pragma once

#include <cstdint>
#include <initializer_list>

template <typename E>
class EnumSet {
 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> members) {
    for (E m : members) bits_ |= Bit(m);
  }
  static constexpr EnumSet FromBits(uint64_t bits) {
    EnumSet s;
    s.bits_ = bits;
    return s;
  }

  constexpr bool Contains(E member) const { return (bits_ & Bit(member)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint64_t Bits() const { return bits_; }
  EnumSet& Include(E member) {
    bits_ |= Bit(member);
    return *this;
  }
  EnumSet& Exclude(E member) {
    bits_ &= ~Bit(member);
    return *this;
  }

  constexpr EnumSet operator+(EnumSet o) const { return FromBits(bits_ | o.bits_); }
  constexpr EnumSet operator-(EnumSet o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr EnumSet operator*(EnumSet o) const { return FromBits(bits_ & o.bits_); }
  constexpr bool operator==(EnumSet o) const { return bits_ == o.bits_; }
  constexpr bool operator!=(EnumSet o) const { return bits_ != o.bits_; }

 private:
  static constexpr uint64_t Bit(E member) { return uint64_t{1} << static_cast<unsigned>(member); }
  uint64_t bits_ = 0;
};
