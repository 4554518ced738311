// Processor count and the steady millisecond clock.
#pragma once

#include <cstdint>

unsigned ProcessorCountOfMachine();

// Milliseconds since the program started, on a steady clock. Counting from
// the start rather than from boot keeps far-off deadlines far off.
std::int64_t Ticks();
