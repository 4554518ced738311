// Coordinate move text, as the engine reads and prints it: e2e4, e7e8q,
// castling as the king's move e1g1. Reading text against a position's moves
// and algebraic text are the protocol board's business.
#pragma once

#include <string>

#include "board/types.h"

// Coordinate text of any move record; a promotion adds its letter
// ("n", "b", "r", otherwise "q").
std::string MoveText(TMove m);
