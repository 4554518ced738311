// Move notation: the coordinate text the engine reads and prints (e2e4,
// e7e8q, castling as the king's move e1g1). Reading text against the
// protocol board's moves, the ponder-move test and the algebraic text of
// played moves are operations of TProtocolBoard (protocol_board.h).
#pragma once

#include <string>

#include "board/types.h"

// Coordinate text of any move record; a promotion adds its letter
// ("n", "b", "r", otherwise "q").
std::string move_str(TMove m);
