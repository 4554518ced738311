#include "board/geometry.h"

#include <memory>
#include <mutex>

namespace {

constexpr std::array<std::int32_t, 120> MakeMailbox() {
  std::array<std::int32_t, 120> box{};
  for (auto& cell : box) cell = -1;
  for (int square = 0; square < 64; ++square) box[21 + 10 * (square / 8) + square % 8] = square;
  return box;
}

constexpr std::array<std::int32_t, 64> MakeMailbox64() {
  std::array<std::int32_t, 64> cells{};
  for (int square = 0; square < 64; ++square) cells[square] = 21 + 10 * (square / 8) + square % 8;
  return cells;
}

constexpr std::array<std::uint32_t, 64> MakeCastleMask() {
  std::array<std::uint32_t, 64> mask{};
  for (auto& m : mask) m = 15;
  mask[0] = 7;    // a8: Black loses queen-side
  mask[4] = 3;    // e8: Black loses both
  mask[7] = 11;   // h8: Black loses king-side
  mask[56] = 13;  // a1: White loses queen-side
  mask[60] = 12;  // e1: White loses both
  mask[63] = 14;  // h1: White loses king-side
  return mask;
}

constexpr std::array<std::int32_t, 64> MakeRookCastleTo() {
  std::array<std::int32_t, 64> to{};
  to[2] = 3;
  to[6] = 5;
  to[58] = 59;
  to[62] = 61;
  return to;
}

constexpr std::array<std::int32_t, 64> MakeFileOf() {
  std::array<std::int32_t, 64> files{};
  for (int square = 0; square < 64; ++square) files[square] = square % 8 + 1;
  return files;
}

constexpr TBoardPiece BackRank[8] = {Rook, Knight, Bishop, Queen, King, Bishop, Knight, Rook};

constexpr std::array<TBoardPiece, 64> MakeInitPiece() {
  std::array<TBoardPiece, 64> kinds{};
  for (int square = 0; square < 64; ++square) {
    const int row = square / 8;
    if (row == 0 || row == 7) kinds[square] = BackRank[square % 8];
    else if (row == 1 || row == 6) kinds[square] = Pawn;
    else kinds[square] = bpEmpty;
  }
  return kinds;
}

constexpr std::array<TBoardSide, 64> MakeInitColor() {
  std::array<TBoardSide, 64> colours{};
  for (int square = 0; square < 64; ++square) colours[square] = square < 16 ? Dark : square >= 48 ? Light : bsEmpty;
  return colours;
}

constexpr std::array<std::string_view, 64> MakeSquareNames() {
  constexpr std::string_view names =
      "a8b8c8d8e8f8g8h8a7b7c7d7e7f7g7h7a6b6c6d6e6f6g6h6a5b5c5d5e5f5g5h5"
      "a4b4c4d4e4f4g4h4a3b3c3d3e3f3g3h3a2b2c2d2e2f2g2h2a1b1c1d1e1f1g1h1";
  std::array<std::string_view, 64> result{};
  for (int square = 0; square < 64; ++square) result[square] = names.substr(2 * square, 2);
  return result;
}

TGeometry& MutableGeo() {
  static std::unique_ptr<TGeometry> tables = std::make_unique<TGeometry>();
  return *tables;
}

void BuildAttackAndDirections(TGeometry& g) {
  for (int side = Light; side <= Dark; ++side)
    for (int kind = Knight; kind <= King; ++kind)
      for (int from = 0; from < 64; ++from)
        for (int d = 0; d < OffsetCount[kind]; ++d)
          for (int to = Step(from, Offset[kind][d]); to != -1; to = Step(to, Offset[kind][d])) {
            g.Attacks[side][kind][from] |= SquareBit(to);
            if (!Slide[kind]) break;
          }
  for (int from = 8; from < 56; ++from) {
    const int file = from % 8;
    if (file != 7) {
      g.Attacks[Light][Pawn][from] |= SquareBit(from - 7);
      g.Attacks[Dark][Pawn][from] |= SquareBit(from + 9);
    }
    if (file != 0) {
      g.Attacks[Light][Pawn][from] |= SquareBit(from - 9);
      g.Attacks[Dark][Pawn][from] |= SquareBit(from + 7);
    }
  }
  for (int from = 0; from < 64; ++from)
    for (int d = 0; d < 8; ++d)
      for (int to = Step(from, Offset[Queen][d]); to != -1; to = Step(to, Offset[Queen][d]))
        g.DirIndex[from][to] = std::int8_t(d);
}

void BuildRaysAndJumps(TGeometry& g) {
  for (int square = 0; square < 64; ++square) {
    for (int d = 0; d < 8; ++d) {
      const int offset = Offset[Queen][d];
      TRay& ray = g.Rays[offset + 11][square];
      ray.length = 0;
      for (int to = Step(square, offset); to != -1; to = Step(to, offset)) {
        ray.squares[ray.length++] = std::uint8_t(to);
        g.RaySquares[QueenDirection(offset)][square] |= SquareBit(to);
      }
    }
    TJumps& jumps = g.KnightJumps[square];
    jumps.length = 0;
    for (int d = 0; d < 8; ++d)
      if (const int to = Step(square, Offset[Knight][d]); to != -1) {
        jumps.squares[jumps.length++] = std::uint8_t(to);
      }
  }
}

void BuildKingZones(TGeometry& g) {
  for (int square = 0; square < 64; ++square) {
    TSquareSet zone = SquareBit(square);
    for (int d = 0; d < 8; ++d) {
      const int to = Step(square, Offset[King][d]);
      if (to != -1) zone |= SquareBit(to);
    }
    g.KingZone[square] = zone;
  }
}

void BuildLinesToZone(TGeometry& g, int kind, TDirections (&table)[64][64]) {
  for (int king = 0; king < 64; ++king)
    for (int square = 0; square < 64; ++square) {
      TDirections& lines = table[king][square];
      lines = 0;
      if (square == king) continue;
      for (int d = 0; d < OffsetCount[kind]; ++d)
        for (int to = Step(square, Offset[kind][d]); to != -1; to = Step(to, Offset[kind][d]))
          if (InSet(g.KingZone[king], to)) {
            lines |= TDirections(1u << d);
            break;
          }
    }
}

void BuildKnightTropism(TGeometry& g) {
  for (int king = 0; king < 64; ++king)
    for (int square = 0; square < 64; ++square) {
      int score = 0;
      if (square != king)
        for (int d = 0; d < 8; ++d) {
          const int to = Step(square, Offset[Knight][d]);
          if (to != -1 && InSet(g.KingZone[king], to)) score += 5;
        }
      g.KnightTropism[king][square] = std::int8_t(score);
    }
}

}  // namespace

const std::array<std::int32_t, 120> Mailbox = MakeMailbox();
const std::array<std::int32_t, 64> Mailbox64 = MakeMailbox64();
const std::array<bool, 6> Slide = {false, false, true, true, true, false};
const std::array<std::int32_t, 6> OffsetCount = {0, 8, 4, 4, 8, 8};
const std::int32_t Offset[6][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0},     {-21, -19, -12, -8, 8, 12, 19, 21}, {-11, -9, 9, 11, 0, 0, 0, 0},
    {-10, -1, 1, 10, 0, 0, 0, 0}, {-11, -10, -9, -1, 1, 9, 10, 11},   {-11, -10, -9, -1, 1, 9, 10, 11},
};
const std::int32_t OffsetReverse[6][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0},     {21, 19, 12, 8, -8, -12, -19, -21}, {11, 9, -9, -11, 0, 0, 0, 0},
    {10, 1, -1, -10, 0, 0, 0, 0}, {11, 10, 9, 1, -1, -9, -10, -11},   {11, 10, 9, 1, -1, -9, -10, -11},
};
const std::array<std::uint32_t, 64> CastleMask = MakeCastleMask();
const std::array<std::int32_t, 64> RookCastleTo = MakeRookCastleTo();
const std::array<std::int32_t, 64> FileOf = MakeFileOf();
const std::array<TBoardSide, 64> InitColor = MakeInitColor();
const std::array<TBoardPiece, 64> InitPiece = MakeInitPiece();
const std::array<char, 7> PieceLetter = {'P', 'N', 'B', 'R', 'Q', 'K', 'E'};
const std::array<std::string_view, 64> SquareName = MakeSquareNames();
const std::array<std::int32_t, 6> EvasionBonus = {1000, 300, 200, 100, 50, 10000};
const std::array<std::uint8_t, 2> PushFlag = {0, 64};

const TGeometry& Geo = MutableGeo();

std::int32_t EPBehind(TSide side, int square) {
  const int row = square / 8;
  if (side == Light) return (row == 2 || row == 4) ? square + 8 : -1;
  return (row == 3 || row == 5) ? square - 8 : -1;
}

void InitGeometry() {
  static std::once_flag once;
  std::call_once(once, [] {
    TGeometry& g = MutableGeo();
    BuildAttackAndDirections(g);
    BuildRaysAndJumps(g);
    BuildKingZones(g);
    BuildLinesToZone(g, Bishop, g.BishopLinesToZone);
    BuildLinesToZone(g, Rook, g.RookLinesToZone);
    BuildLinesToZone(g, Queen, g.QueenLinesToZone);
    BuildKnightTropism(g);
  });
}

int ParseSquare(std::string_view text) {
  if (text.size() < 2) return -1;
  const char file = text[0], rank = text[1];
  if (file < 'a' || file > 'h' || rank < '1' || rank > '8') return -1;
  return (7 - (rank - '1')) * 8 + (file - 'a');
}
