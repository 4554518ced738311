#include "platform/system.h"

#include <chrono>
#include <thread>

namespace {
const auto programStart = std::chrono::steady_clock::now();
}

unsigned ProcessorCountOfMachine() {
  const unsigned count = std::thread::hardware_concurrency();
  return count == 0 ? 1 : count;
}

std::int64_t Ticks() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - programStart).count();
}
