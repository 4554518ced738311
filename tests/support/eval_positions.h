// Positions for the evaluation tests: prepared search boards from FEN, the
// colour-mirrored twin of a board, and a fixed sample of varied positions
// reached by seeded random legal play.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "board/search_board.h"

// A search board set up from FEN and prepared for a search (piece lists,
// counts, keys). Throws std::invalid_argument when the FEN is refused.
// Builds the engine tables first, so tests may call it straight away.
std::unique_ptr<TSearchBoard> BoardFromFen(std::string_view fen);

// The prepared colour-mirrored twin of a board: ranks flipped, colours
// swapped, the other side to move, castling rights and en-passant square
// swapped; the move history is dropped.
std::unique_ptr<TSearchBoard> MirroredBoard(const TBoardState& board);

// FEN text of a board's placement, side, rights and en-passant square.
std::string BoardToFen(const TBoardState& board);

// A few hundred positions of every kind, from the opening to pawn endings,
// as FEN. The same list on every call and on every machine.
const std::vector<std::string>& VariedPositions();
