#include "board/mersenne.h"

void TMersenneTwister::Seed(std::uint32_t seed) {
  Mt[0] = seed;
  for (mti = 1; mti < N; ++mti) Mt[mti] = 1812433253u * (Mt[mti - 1] ^ (Mt[mti - 1] >> 30)) + std::uint32_t(mti);
}

void TMersenneTwister::Twist() {
  constexpr std::uint32_t upper = 0x80000000u, lower = 0x7fffffffu, matrix = 0x9908b0dfu;
  for (int k = 0; k < N; ++k) {
    const std::uint32_t y = (Mt[k] & upper) | (Mt[(k + 1) % N] & lower);
    Mt[k] = Mt[(k + M) % N] ^ (y >> 1) ^ ((y & 1) ? matrix : 0u);
  }
  mti = 0;
}

std::uint32_t TMersenneTwister::Next32() {
  if (mti >= N) Twist();
  std::uint32_t y = Mt[mti++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9d2c5680u;
  y ^= (y << 15) & 0xefc60000u;
  y ^= y >> 18;
  return y;
}
