// Perft trees: at every node the incremental state must equal one computed from
// scratch, each generator list what its rule selects, and unmaking restore all.
#include <gtest/gtest.h>

#include <set>

#include "board/board_fixture.h"
#include "board/perft_suite.h"

namespace {

using TMoveSet = std::set<std::uint32_t>;

// Moves compared as sets, the advanced-push flag aside (only the full
// generator sets it).
std::uint32_t Key(TMove m) {
  m.bits &= ~MovePawnPush;
  return m.AsInt();
}

// Every square strictly between a and b is empty (a and b on one line).
bool ClearBetween(const TSearchBoard& board, int a, int b) {
  const int step = Offset[Queen][DirIndex(a, b)];
  for (int s = Step(a, step); s != b; s = Step(s, step))
    if (board.Color[s] != bsEmpty) return false;
  return true;
}

// Does Chess960 castling `m` check with its rook? The rook's line to the
// king is walked on a copy of the board with both men moved.
bool Chess960CastlingChecks(const TSearchBoard& board, TMove m) {
  const int right = TCastlingSetup::RightOf(m), rookTo = TCastlingSetup::RookTo(right);
  const int king = board.KingSquare(Opponent(board.Side));
  if (!AttackTable(board.Side, Rook, rookTo, king)) return false;
  auto after = std::make_unique<TSearchBoard>(board);
  after->Color[m.from] = after->Color[m.to] = bsEmpty;
  after->Color[TCastlingSetup::KingTo(right)] = after->Color[rookTo] = TBoardSide(board.Side);
  return ClearBetween(*after, rookTo, king);
}

// Does the piece arriving on `to` see the enemy king on the board before
// the move? For castling the arriving piece is the rook.
bool DirectCheck(const TSearchBoard& board, TMove m) {
  const TSide us = board.Side;
  const int king = board.KingSquare(Opponent(us));
  int square = m.to, kind = board.Piece[m.from];
  if (m.Has(MoveCastle) && board.Castling.Chess960) return Chess960CastlingChecks(board, m);
  if (m.Has(MoveCastle)) {
    square = RookCastleTo[m.to];
    kind = Rook;
  }
  if (kind == King || !AttackTable(us, kind, square, king)) return false;
  return kind == Knight || kind == Pawn || ClearBetween(board, square, king);
}

class TWalk {
 public:
  explicit TWalk(TSearchBoard& board) : b(board) {}

  std::uint64_t Node(int depth, bool inCheck) {
    CheckNode(inCheck);
    if (depth == 0) return 1;
    inCheck ? b.GenerateEvasions(true) : b.GenerateMoves();
    const std::vector<TGen> moves = PlyMoves(b);
    std::uint64_t leaves = 0;
    for (const TGen& g : moves) {
      const TBoardSnapshot before(b);
      if (inCheck) b.MakeMoveUnchecked(g.m);
      else if (!b.MakeMove(g.m)) {
        EXPECT_TRUE(TBoardSnapshot(b) == before) << "refusal changed the board: " << MoveText(g.m);
        continue;
      }
      EXPECT_TRUE(b.board_is_ok(false));
      const bool childInCheck = b.UpdateChecks(false);
      leaves += Node(depth - 1, childInCheck);
      b.TakeBack();
      EXPECT_TRUE(TBoardSnapshot(b) == before) << "take back of " << MoveText(g.m) << " differs";
      if (::testing::Test::HasFailure()) return leaves;
    }
    return leaves;
  }

 private:
  void CheckNode(bool inCheck) {
    ASSERT_TRUE(b.board_is_ok(true));
    if (b.Ply > 0) CheckAnalysisMatchesScratch(inCheck);
    b.GenerateMoves();
    const std::vector<TGen> full = PlyMoves(b);
    b.GenerateRootMoves();  // the same list in the same order
    const std::vector<TGen> root = PlyMoves(b);
    ASSERT_EQ(root.size(), full.size());
    for (std::size_t i = 0; i < root.size(); ++i) EXPECT_EQ(Key(root[i].m), Key(full[i].m));

    TMoveSet captures, capturesAndChecks, legal, legalQueenOnly;
    for (const TGen& g : full) {
      const TMove m = g.m;
      const bool queenOrNone = !m.Has(MovePromote) || m.promote == Queen;
      // Captures leave out a piece taking a pawn its pawns defend.
      const bool pieceTakesDefendedPawn = m.Has(MoveCapture) && !m.Has(MovePawn) && b.Piece[m.to] == Pawn &&
                                          (b.Side == Light ? b.AttackedByDarkPawn(m.to) : b.AttackedByLightPawn(m.to));
      if (queenOrNone && (m.Has(MovePromote) || (m.Has(MoveCapture) && !pieceTakesDefendedPawn)))
        captures.insert(Key(m));
      if (m.Has(MovePromote) ? m.promote == Queen : (m.Has(MoveCapture) || DirectCheck(b, m)))
        capturesAndChecks.insert(Key(m));
      // Evasions: the legal part of the list, castling aside (MakeMove does
      // not test the king's own square).
      if (!inCheck || m.Has(MoveCastle) || !b.MakeMove(m)) continue;
      b.TakeBack();
      legal.insert(Key(m));
      if (queenOrNone) legalQueenOnly.insert(Key(m));
    }
    b.GenerateCaptures();
    ExpectPly(captures, "captures");
    b.GenerateCapturesAndChecks();
    ExpectPly(capturesAndChecks, "captures and checks");
    if (!inCheck) return;
    b.GenerateEvasions(true);
    ExpectPly(legal, "evasions");
    b.GenerateEvasions();  // queen promotions only
    ExpectPly(legalQueenOnly, "evasions");
  }

  void CheckAnalysisMatchesScratch(bool inCheck) {
    const auto n = b.CheckCount;
    const auto lines = b.CheckAnswerSquares, behind = b.SquaresBehindKing, pins = b.PinnedMen;
    EXPECT_EQ(b.AnalyseChecks(b.Side, b.KingSquare(b.Side)), inCheck);
    EXPECT_EQ(b.CheckCount, n);
    if (inCheck) { EXPECT_EQ(b.SquaresBehindKing, behind); }
    if (n == 1) {
      EXPECT_EQ(b.CheckAnswerSquares, lines);
      EXPECT_EQ(b.PinnedMen, pins);
    }
    // Walk on with the incremental state, as the search would.
    b.CheckCount = n;
    b.CheckAnswerSquares = lines;
    b.SquaresBehindKing = behind;
    b.PinnedMen = pins;
  }

  void ExpectPly(const TMoveSet& expected, const char* generator) {
    TMoveSet got;
    for (const TGen& g : PlyMoves(b)) got.insert(Key(g.m));
    EXPECT_EQ(got, expected) << generator;
  }

  TSearchBoard& b;
};

// The suite, and two en-passant captures it lacks: after c7-c5 with check,
// dxc6 would bare the king to a7; after b7-b5, cxb6 checks through both
// emptied squares at once.
TEST(BoardWalk, SuiteTreesKeepEveryInvariant) {
  const int depth = OptimisedBuild ? 3 : 2;
  auto suite = LoadPerftSuite();
  ASSERT_EQ(suite.size(), 127u);
  suite.insert(suite.end(), {{"7k/b7/8/2pP4/3K4/8/8/8 w - c6 0 1", {{2, 35}, {3, 234}}},
                             {"8/1p2n3/8/k1P4R/8/8/8/4K3 b - - 0 1", {{2, 203}, {3, 2355}}}});
  for (const TPerftCase& c : suite) {
    SCOPED_TRACE(c.fen);
    auto board = BoardFromFen(c.fen);
    TWalk walk(*board);
    EXPECT_EQ(walk.Node(depth, InCheckAtRoot(*board)), c.leaves.at(depth));
    if (HasFailure()) break;  // one position's report is enough to go on
  }
}

// Chess960 trees from every 40th of the published positions: kings and
// rooks on every file, castling that leaves a man in place or swaps them.
TEST(BoardWalk, Chess960TreesKeepEveryInvariant) {
  const int depth = OptimisedBuild ? 3 : 2;
  const auto suite = LoadPerftSuite("chess960-perft.epd");
  ASSERT_EQ(suite.size(), 960u);
  for (std::size_t i = 0; i < suite.size(); i += 40) {
    SCOPED_TRACE(suite[i].fen);
    auto board = BoardFromFen(suite[i].fen, true);
    TWalk walk(*board);
    EXPECT_EQ(walk.Node(depth, InCheckAtRoot(*board)), suite[i].leaves.at(depth));
    if (HasFailure()) break;
  }
}

}  // namespace
