// Whole-table checks: every answered position agrees with a move-by-move look
// at its successors (through a move generator of the test's own), the tables
// are symmetric, and the known extremes of each ending come out.
#include <algorithm>
#include <cstdlib>

#include "egtb/egtb_library.h"

namespace egtb_test {
namespace {

constexpr Kind PieceKinds[] = {Pawn, Knight, Bishop, Rook, Queen};

struct Man {
  int colour;  // 0 White, 1 Black
  Kind kind;
  int square;
};

// The position as a list of men (kings first), with plain move rules.
struct Board {
  Man men[3];
  int count;
  int side;

  explicit Board(const TbPosition& p)
      : men{{0, King, p.whiteKing}, {1, King, p.blackKing}, {p.whiteOwns ? 0 : 1, p.kind, p.pieceSquare}},
        count(p.kind == None ? 2 : 3), side(p.side) {}
  TbPosition position() const {
    if (count == 2) return TbPosition{men[0].square, men[1].square, None, true, 0, side};
    return TbPosition{men[0].square, men[1].square, men[2].kind, men[2].colour == 0, men[2].square, side};
  }
  bool occupied(int sq) const {
    return std::any_of(men, men + count, [&](const Man& m) { return m.square == sq; });
  }
  bool reaches(const Man& m, int target) const {
    const int df = target % 8 - m.square % 8, dr = target / 8 - m.square / 8;
    const int adf = std::abs(df), adr = std::abs(dr);
    if (m.kind == King) return std::max(adf, adr) == 1;
    if (m.kind == Knight) return adf * adr == 2;
    if (m.kind == Pawn) return adf == 1 && dr == (m.colour == 0 ? 1 : -1);
    const bool straight = (df == 0) != (dr == 0), diagonal = adf == adr && adf > 0;
    if (!(m.kind == Queen ? straight || diagonal : m.kind == Rook ? straight : diagonal)) return false;
    const int step = (df > 0) - (df < 0) + 8 * ((dr > 0) - (dr < 0));
    for (int sq = m.square + step; sq != target; sq += step)
      if (occupied(sq)) return false;
    return true;
  }
  bool inCheck(int colour) const {
    const int king = men[colour].square;
    return std::any_of(men, men + count, [&](const Man& m) { return m.colour != colour && reaches(m, king); });
  }
  // Can the man go to `to` (ignoring checks)? Captures only of the lone piece.
  bool canGo(const Man& m, int to) const {
    if (m.kind != Pawn) {
      const Man* other = std::find_if(men, men + count, [&](const Man& o) { return o.square == to; });
      return reaches(m, to) && (other == men + count || (other->colour != m.colour && other->kind != King));
    }
    const int ahead = m.colour == 0 ? 8 : -8, startRank = m.colour == 0 ? 1 : 6;
    if (to == m.square + ahead) return !occupied(to);
    return to == m.square + 2 * ahead && m.square / 8 == startRank && !occupied(to) && !occupied(to - ahead);
  }
};

int throughMove(int after) { return after == 0 ? 0 : after < 0 ? -after - 1 : -after + 1; }

// The score `b` should have: the best its moves lead to, or mate / stalemate.
int expectedScore(const EgtbLibrary& tb, const Board& b) {
  int best = -20000;
  for (int i = 0; i < b.count; ++i)
    for (int to = 0; to < 64; ++to) {
      if (b.men[i].colour != b.side || !b.canGo(b.men[i], to)) continue;
      const bool promotes = b.men[i].kind == Pawn && (to / 8 == 0 || to / 8 == 7);
      for (Kind becomes : {Queen, Rook, Bishop, Knight}) {
        Board next = b;
        if (next.count == 3 && next.men[2].square == to) next.count = 2;  // the piece is taken
        next.men[i].square = to;
        if (promotes) next.men[i].kind = becomes;
        next.side = 1 - b.side;
        if (!next.inCheck(b.side)) best = std::max(best, throughMove(tb.score(next.position())));
        if (!promotes) break;
      }
    }
  if (best > -20000) return best;
  return b.inCheck(b.side) ? -10000 : 0;
}

using EgtbTables = EgtbTest;

TEST_F(EgtbTables, EveryScoreIsTheBestOfItsMoves) {
  for (Kind kind : PieceKinds)
    for (int side : {0, 1}) {
      int checked = 0, wrong = 0;
      forEachPlacement(kind, side, [&](const TbPosition& p) {
        if (tb.refusal(p)) return;
        ++checked;
        const int expected = expectedScore(tb, Board(p)), actual = tb.score(p);
        if (actual != expected && ++wrong <= 5)
          ADD_FAILURE() << "kind " << kind << " side " << side << " kings " << p.whiteKing << " "
                        << p.blackKing << " man " << p.pieceSquare << ": " << actual << " != " << expected;
      });
      EXPECT_GT(checked, 100000);
      EXPECT_EQ(wrong, 0);
    }
}

// Turning the board around (ranks flipped, colours swapped) or mirroring it
// left to right changes neither the score nor whether it is answered.
TEST_F(EgtbTables, ScoresAreSymmetric) {
  for (Kind kind : PieceKinds)
    for (int side : {0, 1})
      forEachPlacement(kind, side, [&](const TbPosition& p) {
        const TbPosition turned{p.blackKing ^ 56, p.whiteKing ^ 56, kind, false, p.pieceSquare ^ 56, 1 - side};
        const TbPosition mirrored{p.whiteKing ^ 7, p.blackKing ^ 7, kind, true, p.pieceSquare ^ 7, side};
        const char* error;
        const int32_t score = tb.probeWithError(p, error);
        const bool refused = error != nullptr;
        for (const TbPosition& q : {turned, mirrored}) {
          ASSERT_EQ(tb.refusal(q) != nullptr, refused);
          if (!refused) {
            ASSERT_EQ(tb.score(q), score);
          }
        }
      });
}

struct Extremes {
  int wins = 0, draws = 0, losses = 0;
  int longestWin = 0, longestLoss = 0;  // in plies
};

Extremes extremesOf(const EgtbLibrary& tb, Kind kind, int side) {
  Extremes e;
  forEachPlacement(kind, side, [&](const TbPosition& p) {
    if (tb.refusal(p)) return;
    const int s = tb.score(p);
    if (s > 0) ++e.wins, e.longestWin = std::max(e.longestWin, 10000 - s);
    if (s < 0) ++e.losses, e.longestLoss = std::max(e.longestLoss, 10000 + s);
    if (s == 0) ++e.draws;
  });
  return e;
}

TEST_F(EgtbTables, KnownExtremesOfEachEnding) {
  // Queen: mate in 10 moves at most; rook: in 16. With the move they always win.
  const Extremes queen = extremesOf(tb, Queen, 0), rook = extremesOf(tb, Rook, 0);
  EXPECT_EQ(queen.longestWin, 19);
  EXPECT_EQ(rook.longestWin, 31);
  EXPECT_EQ(queen.draws + rook.draws, 0);
  EXPECT_EQ(extremesOf(tb, Queen, 1).longestLoss, 20);
  EXPECT_EQ(extremesOf(tb, Rook, 1).longestLoss, 32);
  // Pawn: the classic count of 163,328 legal positions with White to move,
  // 124,960 won; the longest win takes 28 moves.
  const Extremes pawn = extremesOf(tb, Pawn, 0);
  EXPECT_EQ(pawn.wins + pawn.draws + pawn.losses, 163328);
  EXPECT_EQ(pawn.wins, 124960);
  EXPECT_EQ(pawn.longestWin, 55);
  // A lone minor piece never mates.
  for (Kind minor : {Knight, Bishop})
    for (int side : {0, 1}) {
      const Extremes e = extremesOf(tb, minor, side);
      EXPECT_EQ(e.wins + e.losses, 0);
      EXPECT_GT(e.draws, 190000);
    }
}

}  // namespace
}  // namespace egtb_test
