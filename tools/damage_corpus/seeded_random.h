// The corpus generator's one source of chance. std::mt19937_64 gives the same
// numbers everywhere; the standard distributions do not (their algorithms
// are left to each library), so the draws below are written out here to keep
// "same seed, same bytes" true on every toolchain.
#pragma once

#include <cstdint>
#include <random>

namespace damage_corpus {

class SeededRandom {
 public:
  explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}

  // Uniform in [0, n); n > 0. The modulo bias (n / 2^64) is negligible here.
  std::uint64_t Below(std::uint64_t n) { return engine_() % n; }
  // Uniform in [low, high].
  std::int64_t Between(std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(Below(static_cast<std::uint64_t>(high - low) + 1));
  }
  // True with probability percent / 100.
  bool Chance(int percent) { return Below(100) < static_cast<std::uint64_t>(percent); }
  unsigned char Byte() { return static_cast<unsigned char>(engine_() & 0xFF); }

 private:
  std::mt19937_64 engine_;
};

}  // namespace damage_corpus
