// One side's view of the board for the evaluation terms. Squares are relative
// to that side: its own back rank is the first rank, as White sees it, so each
// rule is written once, from White's side, and Black gets the exact mirror.
// Pieces are seen as own or enemy, pawn files through the pawn facts of the
// pawn preparation, and the side's own fields of TEvalState by plain names.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstdlib>

#include "board/search_board.h"
#include "board/square_names.h"
#include "eval/eval_geometry.h"
#include "eval/eval_state.h"

// Rank 1..8 and row0 0..7 (0 = eighth rank) of a square.
constexpr int Row0(int square) { return row(square) - 1; }
constexpr int RankOf(int square) { return 8 - Row0(square); }

constexpr bool OnBoardEdge(int square) {
  const int f = file(square), r = RankOf(square);
  return f == 1 || f == 8 || r == 1 || r == 8;
}

inline int KingDistance(int a, int b) { return LineDistance(a, b); }

// Light squares (a8, h1, ...) are Light, dark squares Dark.
constexpr TSide SquareColour(int square) { return TSide((Row0(square) + square % 8) & 1); }

// The corner squares a king tucks itself into: a2, h2, a1, b1, g1, h1.
constexpr bool KingTucked(int square) {
  using namespace sq;
  return square == a2 || square == h2 || square == a1 || square == b1 || square == g1 || square == h1;
}

constexpr TSquareSet FileBit(int fileNumber) { return TSquareSet{1} << fileNumber; }

// Bits of the pawn flag word `PawnFlags`: one byte per fact, file a the highest
// bit of its byte.
enum TPawnFlagByte : int { LightDoubled = 0, DarkDoubled = 1, DarkPassed = 2, LightPassed = 3 };
constexpr bool PawnFlag(std::uint32_t pawnFlags, TPawnFlagByte byte, int fileNumber) {
  return (pawnFlags >> (8 * byte + 8 - fileNumber)) & 1;
}

// A side's own fields of TEvalState.
struct TSideFields {
  std::int32_t& OpenFileRook1;
  std::int32_t& OpenFileRook2;
  std::int32_t& HalfOpenFileRook1;
  std::int32_t& HalfOpenFileRook2;
  std::int32_t& QueenFile;
  TSquareSet& MinorOutpostFiles;
  std::int32_t& BishopTropismCount;
  bool& QueenNearKing;
  TSide& BishopSquareColour;
  bool& BishopAttacksFianchetto;
  std::int32_t& BadBishops;
  std::int32_t& KingSafety;
  std::int32_t (&KingAttackByKind)[5];
  std::int32_t& Score;
  std::int32_t Material;       // own coarse material
  std::int32_t EnemyMaterial;  // the enemy's coarse material
};

template <TSide Us>
TSideFields FieldsOf(TEvalState& e) {
  return {e.OpenFileRook1[Us],           e.OpenFileRook2[Us], e.HalfOpenFileRook1[Us],
          e.HalfOpenFileRook2[Us],       e.QueenFile[Us],     e.MinorOutpostFiles[Us],
          e.BishopTropismCount[Us],      e.QueenNearKing[Us], e.BishopSquareColour[Us],
          e.BishopAttacksFianchetto[Us], e.BadBishops[Us],    e.KingSafety[Us],
          e.KingAttackByKind[Us],        e.Score[Us],         e.Material[Us],
          e.Material[Opponent(Us)]};
}

template <TSide Us>
struct TSideView {
  static constexpr TSide Them = Opponent(Us);

  const TSearchBoard& board;
  const TEvalState& e;

  // The board square of a relative square (and back: the map is its own inverse).
  static constexpr int Abs(int rel) { return RelativeSquare<Us>(rel); }

  TBoardPiece Kind(int rel) const { return board.Piece[Abs(rel)]; }
  bool Empty(int rel) const { return board.Color[Abs(rel)] == bsEmpty; }
  bool IsOwn(int rel) const { return board.Color[Abs(rel)] == Us; }
  bool IsEnemy(int rel) const { return board.Color[Abs(rel)] == Them; }
  bool Own(int rel, TPiece kind) const { return IsOwn(rel) && Kind(rel) == kind; }
  bool Enemy(int rel, TPiece kind) const { return IsEnemy(rel) && Kind(rel) == kind; }
  bool AnyPawn(int rel) const { return Kind(rel) == Pawn; }
  // Is the square attacked by an enemy pawn?
  // The pawn preparation gathers the set once per evaluation.
  bool EnemyPawnAttacks(int rel) const {
    assert(InSet(e.PawnAttacks[Them], Abs(rel)) ==
           (Us == Light ? board.AttackedByDarkPawn(Abs(rel)) : board.AttackedByLightPawn(Abs(rel))));
    return InSet(e.PawnAttacks[Them], Abs(rel));
  }

  int OwnKing() const { return Abs(board.KingSquare(Us)); }
  int EnemyKing() const { return Abs(board.KingSquare(Them)); }
  int Count(TPiece kind) const { return board.MenCount[Us][kind]; }
  int EnemyCount(TPiece kind) const { return board.MenCount[Them][kind]; }
  bool OwnCastlingRight() const { return (board.Castle & CastlingOf(Us)) != 0; }

  // Relative row0 of the side's rearmost pawn on a file: 0 when there is none.
  int OwnRear(int fileNumber) const {
    if (fileNumber < 1 || fileNumber > 8) return 0;
    const int rank = e.RearPawnRow[Us][fileNumber];
    return Us == Light ? rank : 7 - rank;
  }
  // Relative row0 of the enemy's rearmost pawn on a file (the one nearest the
  // side's eighth rank): 7 when there is none.
  int EnemyRear(int fileNumber) const {
    if (fileNumber < 1 || fileNumber > 8) return 7;
    const int rank = e.RearPawnRow[Them][fileNumber];
    return Us == Light ? rank : 7 - rank;
  }
  bool OwnPawnOn(int fileNumber) const { return OwnRear(fileNumber) != 0; }
  bool EnemyPawnOn(int fileNumber) const { return EnemyRear(fileNumber) != 7; }
  bool OwnDoubled(int fileNumber) const {
    return PawnFlag(e.PawnFlags, Us == Light ? LightDoubled : DarkDoubled, fileNumber);
  }
  bool EnemyDoubled(int fileNumber) const {
    return PawnFlag(e.PawnFlags, Us == Light ? DarkDoubled : LightDoubled, fileNumber);
  }
  bool OwnPassed(int fileNumber) const {
    return PawnFlag(e.PawnFlags, Us == Light ? LightPassed : DarkPassed, fileNumber);
  }
};
