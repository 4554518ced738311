// The 32-bit Mersenne Twister (MT19937). The key tables are drawn from it with
// a fixed seed, so that every run and every thread sees the same keys.
#pragma once

#include <array>
#include <cstdint>

class TMersenneTwister {
 public:
  explicit TMersenneTwister(std::uint32_t seed) { Seed(seed); }
  void Seed(std::uint32_t seed);
  std::uint32_t Next32();

 private:
  static constexpr int N = 624;
  static constexpr int M = 397;
  std::array<std::uint32_t, N> Mt{};
  int mti = N + 1;
  void Twist();
};
