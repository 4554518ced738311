// The move lists the generators leave on the stack, and a snapshot of a
// whole board for the board tests.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "board/geometry.h"
#include "board/move_text.h"
#include "board/search_board.h"
#include "protocol/protocol_board.h"
#include "support/engine_tables.h"
#include "support/eval_positions.h"  // BoardFromFen: the board a search would get

inline std::vector<TGen> PlyMoves(const TSearchBoard& board) {
  return {board.MoveStack.begin() + board.FirstMove[board.Ply],
          board.MoveStack.begin() + board.FirstMove[board.Ply + 1]};
}

// The generated move with this coordinate text, with its ordering score; fails the test when there is none.
inline TGen FindGen(const TSearchBoard& board, std::string_view text) {
  for (const TGen& g : PlyMoves(board))
    if (MoveText(g.m) == text) return g;
  ADD_FAILURE() << "no move " << text;
  return TGen{};
}
inline TMove FindMove(const TSearchBoard& board, std::string_view text) { return FindGen(board, text).m; }

inline int Sq(std::string_view name) { return ParseSquare(name); }

inline bool InCheckAtRoot(TSearchBoard& board) { return board.AnalyseChecks(board.Side, board.KingSquare(board.Side)); }

// Whole-board snapshot for "unmake restores exactly" (ListIndex of empty squares means nothing).
struct TBoardSnapshot {
  explicit TBoardSnapshot(const TSearchBoard& b)
      : color(b.Color), piece(b.Piece), side(b.Side), castle(b.Castle), ep(b.EP), fifty(b.HalfmoveClock), ply(b.Ply),
        hply(b.HistoryLength), hash(b.hash), hashP(b.hashP) {
    for (int s = 0; s < 64; ++s) tabindex[s] = b.Color[s] == bsEmpty ? 0 : b.ListIndex[s];
    for (int side = 0; side < 2; ++side) {
      for (int k = 0; k < 6; ++k) np[side][k] = b.MenCount[side][k];
      for (int i = 1; i <= PieceListSize; ++i) {
        const TPieceEntry& e = b.PieceLists[side].Men[i];
        lists[side][i] = {e.LinesOfSight, std::uint64_t(e.Square), std::uint64_t(e.Active),
                          std::uint64_t(e.CouldCastle), std::uint64_t(e.CastledAs)};
      }
    }
  }
  bool operator==(const TBoardSnapshot&) const = default;

  TBoardColor color;
  TBoardNature piece;
  TSide side;
  std::uint32_t castle;
  std::int32_t ep;
  std::uint32_t fifty, ply, hply, hash, hashP;
  std::uint32_t tabindex[64];
  std::int32_t np[2][6];
  std::array<std::array<std::uint64_t, 5>, PieceListSize + 1> lists[2]{};
};

// Depths that keep a Debug build (asserts on every make) quick enough.
#ifdef NDEBUG
constexpr bool OptimisedBuild = true;
#else
constexpr bool OptimisedBuild = false;
#endif
