// Where castling starts and ends. In standard chess every king starts on the
// e-file and every castling rook in a corner. In Chess960 (Fischer Random)
// the king stands anywhere between its two rooks; castling still ends with
// the king on the g- or c-file and the rook on the f- or d-file, and a
// castling move is written as the king taking its own rook (e1h1), which is
// also how it is stored in a move: from the king's square to the rook's.
// The set-up is fixed for a game and copied with the board.
#pragma once

#include <array>
#include <cstdint>

#include "board/geometry.h"
#include "board/types.h"

// The four rights by index, in the order of their bits in Castle.
enum TCastlingIndex : int { WhiteShort = 0, WhiteLong = 1, BlackShort = 2, BlackLong = 3 };

struct TCastlingSetup {
  // Castling moves are the king taking its own rook (the interface plays
  // Chess960); otherwise they are the king's two-square step.
  bool Chess960 = false;
  std::array<std::int8_t, 2> KingFrom{60, 4};         // by side
  std::array<std::int8_t, 4> RookFrom{63, 56, 7, 0};  // by right; NoSquare when the right is not held
  // Castle &= Mask[from] & Mask[to] after every move: a right goes when its
  // king or its rook leaves its square or the rook is taken.
  std::array<std::uint32_t, 64> Mask = CastleMask;
  // By right: the squares that must be empty but for the king and the
  // rook, and the squares the king stands on, passes or reaches, which no
  // enemy may attack.
  std::array<TSquareSet, 4> MustBeEmpty{};
  std::array<TSquareSet, 4> MustBeSafe{};
  // Xored with the key of each rights mask: the files of its rooks, so that
  // two Chess960 positions differing only in which rook may castle differ.
  // Zero in standard chess, whose keys stay as they are.
  std::array<std::uint32_t, 16> ExtraKeys{};

  // Chess960 castling from these squares (NoSquare for a right not held).
  // The key tables must exist (InitHashKeys).
  void SetChess960(int whiteKing, int blackKing, const std::array<int, 4>& rookFrom);
  // Back to standard chess.
  void SetStandard() { *this = TCastlingSetup{}; }

  // The right a castling move uses, in either way of storing it.
  static constexpr int RightOf(TMove m) { return (m.from >= 56 ? WhiteShort : BlackShort) + (m.to < m.from); }
  static constexpr int SideOf(int right) { return right < BlackShort ? Light : Dark; }
  static constexpr int KingTo(int right) { return std::array{62, 58, 6, 2}[right]; }
  static constexpr int RookTo(int right) { return std::array{61, 59, 5, 3}[right]; }
  static constexpr std::uint32_t Bit(int right) { return 1u << right; }
};

// Is `set`, a 960 set-up, consistent: every held right's king and rook on
// their side's back rank, the rook on the right side of the king.
bool castling_setup_is_ok(const TCastlingSetup& set, std::uint32_t rights);
