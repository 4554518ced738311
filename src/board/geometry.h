// Board geometry: the 10 x 12 mailbox, move offsets, castling and en-passant
// helpers, and the per-square tables built once at start-up. All of it is
// read-only once InitGeometry has run, so every thread reads it without locks.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

#include "board/types.h"

extern const std::array<std::int32_t, 120> Mailbox;
extern const std::array<std::int32_t, 64> Mailbox64;
extern const std::array<bool, 6> Slide;
extern const std::array<std::int32_t, 6> OffsetCount;
extern const std::int32_t Offset[6][8];
extern const std::int32_t OffsetReverse[6][8];
extern const std::array<std::uint32_t, 64> CastleMask;
extern const std::array<std::int32_t, 64> RookCastleTo;
extern const std::array<std::int32_t, 64> FileOf;  // 1 = a-file .. 8 = h-file
extern const std::array<TBoardSide, 64> InitColor;
extern const std::array<TBoardPiece, 64> InitPiece;
extern const std::array<char, 7> PieceLetter;
extern const std::array<std::string_view, 64> SquareName;
extern const std::array<std::int32_t, 6> EvasionBonus;
extern const std::array<std::uint8_t, 2> PushFlag;

// For the side that just double-pushed to `to`: the en-passant square; for the
// side capturing en passant onto `to`: the captured pawn's square.
// Defined for squares 16..47 only.
std::int32_t EPBehind(TSide side, int square);

// One step from a square along a mailbox offset, or -1 off the board.
inline std::int32_t Step(int square, int offset) { return Mailbox[Mailbox64[square] + offset]; }

// The rays that reach a king zone: bit d for the direction Offset[kind][d].
using TDirections = std::uint8_t;

// The squares a slider crosses from a square along one direction, nearest
// first; and a knight's jumps, in Offset order. Walking these lists needs no
// edge test and no chain of mailbox lookups.
template <int Capacity>
struct TSquareList {
  std::uint8_t length;
  std::uint8_t squares[Capacity];
  const std::uint8_t* begin() const { return squares; }
  const std::uint8_t* end() const { return squares + length; }
};
using TRay = TSquareList<7>;
using TJumps = TSquareList<8>;

struct TGeometry {
  TRay Rays[23][64];             // by queen mailbox offset + 11, then square
  TSquareSet RaySquares[8][64];  // the same rays as sets, by QueenDirection
  TJumps KnightJumps[64];
  // The squares a man of a side attacks from a square of an empty board
  // (only pawns differ by side). Sets rather than a square-by-square table
  // keep the tables the search reads at every node small enough for the
  // first-level cache.
  TSquareSet Attacks[2][6][64];
  std::int8_t DirIndex[64][64];
  TSquareSet KingZone[64];
  std::int8_t KnightTropism[64][64];
  TDirections BishopLinesToZone[64][64];
  TDirections RookLinesToZone[64][64];
  TDirections QueenLinesToZone[64][64];
};

// The computed tables. Filled by InitGeometry before any thread starts.
extern const TGeometry& Geo;

// The ray from `square` along a queen mailbox offset (-11..11).
inline const TRay& RayFrom(int square, int offset) { return Geo.Rays[offset + 11][square]; }
inline const TJumps& KnightJumps(int square) { return Geo.KnightJumps[square]; }

// The index 0..7 of a queen mailbox offset in Offset[Queen].
constexpr int QueenDirection(int offset) {
  switch (offset) {
    case -11: return 0;
    case -10: return 1;
    case -9: return 2;
    case -1: return 3;
    case 1: return 4;
    case 9: return 5;
    case 10: return 6;
    default: return 7;
  }
}
inline TSquareSet RaySet(int square, int offset) { return Geo.RaySquares[QueenDirection(offset)][square]; }
// The nearest to the ray's origin of some squares on a ray: positive offsets
// run toward higher square numbers.
inline int NearestOnRay(TSquareSet squares, int offset) {
  return offset > 0 ? std::countr_zero(squares) : 63 - std::countl_zero(squares);
}
// Calls visit(square) for each of `squares`, all on one ray, nearest the
// ray's origin first.
template <class Visit>
void ForEachAlongRay(TSquareSet squares, int offset, Visit visit) {
  while (squares != 0) {
    const int square = NearestOnRay(squares, offset);
    visit(square);
    squares &= ~SquareBit(square);
  }
}
// Steps between two squares of one line (or a king's steps between any two).
inline int LineDistance(int a, int b) {
  const int rows = (a >> 3) - (b >> 3), files = (a & 7) - (b & 7);
  return std::max(rows < 0 ? -rows : rows, files < 0 ? -files : files);
}
// The squares of a ray from `square` short of `stop`, a square on it.
inline TSquareSet RayBefore(int square, int offset, int stop) {
  return RaySet(square, offset) & ~RaySet(stop, offset) & ~SquareBit(stop);
}
inline TSquareSet EmptyBoardReach(int kind, int square) { return Geo.Attacks[Light][kind][square]; }
inline bool AttackTable(TSide side, int kind, int from, int to) { return InSet(Geo.Attacks[side][kind][from], to); }
inline std::int32_t DirIndex(int from, int to) { return Geo.DirIndex[from][to]; }
inline TSquareSet KingZone(int square) { return Geo.KingZone[square]; }

// Builds the computed tables; safe to call more than once.
void InitGeometry();

// Parses "e4" style square names; -1 when the text is not a square.
int ParseSquare(std::string_view text);
