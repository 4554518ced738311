// The 32-bit Mersenne Twister (MT19937). The key tables are drawn from it with
// a fixed seed, so that every run and every thread sees the same keys.
#pragma once

#include <array>
#include <cstdint>

class Tmt19937 {
 public:
  explicit Tmt19937(std::uint32_t seed) { init_genrand(seed); }
  void init_genrand(std::uint32_t seed);
  std::uint32_t val32();

 private:
  static constexpr int N = 624;
  static constexpr int M = 397;
  std::array<std::uint32_t, N> Mt{};
  int mti = N + 1;
  void Twist();
};
