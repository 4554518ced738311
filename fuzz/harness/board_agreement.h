// The engine holds every position twice: on the protocol board, with its own
// small rules engine, and on each search thread's board. Both must see the
// same legal moves, and the search board must come back whole after each
// move is unmade.
#pragma once

#include <string>

#include "protocol/protocol_board.h"

// The legal moves of both boards compared in the position on `board` and
// after each of its legal moves (two plies); empty when they agree and
// every board invariant holds, else what differs.
std::string CompareMoveGenerators(const TProtocolBoard& board);

// The protocol board's own invariant: its key is the key of its placement.
std::string CheckProtocolKey(const TProtocolBoard& board);
