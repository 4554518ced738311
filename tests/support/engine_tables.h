// The global tables every board needs, built once before a test uses them.
#pragma once

#include "board/geometry.h"
#include "board/keys.h"

inline void EnsureEngineTables() {
  InitGeometry();
  InitHashKeys();
}
