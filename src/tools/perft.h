// The perft developer tool: counts the leaf nodes of the move tree to a
// fixed depth, walking it the way the search does, so that both the counts
// (against published figures) and the speed of generation, make and unmake
// can be checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TSearchBoard;

// Leaves `depth` plies below the prepared board. At every node the check
// analysis runs; in check the evasions are made without a test, otherwise
// the full list with the legality test. Every leaf is made and taken back.
std::uint64_t Perft(TSearchBoard& board, int depth);

// `vostrak perft [--chess960] DEPTH [FEN]`: args are the words after "perft". Prints the
// count under each root move, the total, the time and the speed; returns the
// process exit code (2 for bad arguments).
int PerftCommand(const std::vector<std::string>& args);
