// Positions for the board and evaluation tests, as prepared search boards.
#pragma once

#include <memory>
#include <string_view>

#include "board/search_board.h"

// A search board from FEN, prepared for a search (the engine tables built
// first); throws std::invalid_argument when the FEN is refused.
// With `chess960`, the castling field may name rook files and castling is the king taking its rook.
std::unique_ptr<TSearchBoard> BoardFromFen(std::string_view fen, bool chess960 = false);

// The prepared colour-mirrored twin: ranks flipped, colours, side, rights and en passant swapped.
std::unique_ptr<TSearchBoard> MirroredBoard(std::string_view fen);
