// Positions for the evaluation tests, as prepared search boards or FEN.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "board/search_board.h"

// A search board from FEN, prepared for a search (the engine tables built
// first); throws std::invalid_argument when the FEN is refused.
std::unique_ptr<TSearchBoard> BoardFromFen(std::string_view fen);

// The prepared colour-mirrored twin: ranks flipped, colours, side, rights and en passant swapped.
std::unique_ptr<TSearchBoard> MirroredBoard(const TBoardState& board);

// FEN text of a board's placement, side, rights and en-passant square.
std::string BoardToFen(const TBoardState& board);

// A few hundred positions of every kind, from the opening to pawn endings,
// reached by seeded random play: the same list on every call and machine.
const std::vector<std::string>& VariedPositions();
