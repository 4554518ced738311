#include <gtest/gtest.h>

#include <stdexcept>

#include "eval/line_tropism.h"
#include "eval/minor_pieces.h"
#include "eval/piece_tables.h"
#include "eval/rook_terms.h"
#include "eval/square_names.h"
#include "eval/piece_eval_fixture.h"

namespace {

using namespace sq;

struct TSquareCase {
  const char* fen;
  int square;
  int expected;
};

TEST(MinorOutpost, PawnProtectedSquaresScoreAndRecordTheirFile) {
  struct TOutpostCase {
    const char* fen;
    int square;
    int value;
    TSquareSet files;
  };
  const TOutpostCase cases[] = {
      {"4k3/8/8/3N4/4P3/8/8/4K3 w - - 0 1", d5, 15, FileBit(4)},  // protected by e4
      {"4k3/8/8/3N4/8/4P3/8/4K3 w - - 0 1", d5, 0, 0},           // e3 does not protect
      {"4k3/8/8/N7/1P6/8/8/4K3 w - - 0 1", a5, 0, FileBit(1)},    // edge file: recorded, no value
      {"4k3/8/8/N6P/8/8/8/4K3 w - - 0 1", a5, 0, 0},             // h5 is no neighbour of a5
      {"N3k3/1P6/8/8/8/8/8/4K3 w - - 0 1", a8, 0, 0},            // corner excluded
  };
  for (const TOutpostCase& c : cases) {
    TPieceCase position(c.fen);
    TSideFields fields = FieldsOf<Light>(position.e);
    EXPECT_EQ(MinorOutpost(position.White(), fields, c.square, KnightOutpost), c.value) << c.fen;
    EXPECT_EQ(position.e.SetMinOpen_L, c.files) << c.fen;
  }
}

TEST(MinorOutpost, PieceEvaluationRecordsOutpostFilesForTheRookBonus) {
  TPieceCase knight("4k3/8/8/3N4/4P3/8/8/4K3 w - - 0 1");
  knight.Pieces(Light);
  EXPECT_EQ(knight.e.SetMinOpen_L, FileBit(4));

  TPieceCase blackKnight("4k3/8/8/4p3/3n4/8/8/4K3 b - - 0 1");  // d4 protected by e5
  blackKnight.Pieces(Dark);
  EXPECT_EQ(blackKnight.e.SetMinOpen_D, FileBit(4));

  // A bishop is an outpost only on a file without pawns.
  TPieceCase bishop("4k3/8/8/3B4/4P3/8/8/4K3 w - - 0 1");
  bishop.Pieces(Light);
  EXPECT_EQ(bishop.e.SetMinOpen_L, FileBit(4));
  TPieceCase bishopPawnFile("4k3/3p4/8/3B4/4P3/8/8/4K3 w - - 0 1");
  bishopPawnFile.Pieces(Light);
  EXPECT_EQ(bishopPawnFile.e.SetMinOpen_L, 0u);
}

TEST(KnightPlacement, TrappedAndBlockingKnightsReplaceTheSquareValue) {
  const TSquareCase cases[] = {
      {"N3k3/p7/8/8/8/8/8/4K3 w - - 0 1", a8, -150},
      {"N3k3/p7/1P6/8/8/8/8/4K3 w - - 0 1", a8, -30},  // b6 pawn frees it: plain square value
      {"4k3/Np6/p7/8/8/8/8/4K3 w - - 0 1", a7, -150},
      {"4k3/8/8/8/8/2N5/2P5/6K1 w - - 0 1", c3, -7},  // blocks c2 with the king away
      {"4k3/8/8/8/8/2N5/2P5/2K5 w - - 0 1", c3, 0},   // king behind the c-pawn
      {"4k3/8/8/8/8/4N3/4P3/6K1 w - - 0 1", e3, -7},
  };
  for (const TSquareCase& c : cases) {
    TPieceCase position(c.fen);
    EXPECT_EQ(KnightPlacement(position.White(), c.square), c.expected) << c.fen;
  }
}

TEST(BishopMobility, BishopsWithoutForwardScopeAreBad) {
  const TSquareCase cases[] = {
      {"4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1", c1, -10},       // shut in by b2 and d2
      {"4k3/8/8/8/8/8/1P6/2B1K3 w - - 0 1", c1, 1},           // f4 is the one forward square
      {"4k3/8/8/8/8/8/1P6/2B1KB2 w - - 0 1", c1, 3},          // worth 3 with the pair
      {"4k3/8/4p3/3p4/8/8/B7/4K3 w - - 0 1", a2, -10},        // biting on protected d5
      {"4k3/8/8/3p4/8/8/B7/4K3 w - - 0 1", a2, 6},            // c4, then a loose d5 pawn
      {"4k3/1p1p1p2/2p1p3/3B4/8/8/8/4K3 w - - 0 1", d5, 0},  // no scope, but far up
      {"4k3/8/8/4r3/8/8/8/B3K3 w - - 0 1", a1, 9},            // d4, the rook, f6, g7, h8
  };
  for (const TSquareCase& c : cases) {
    TPieceCase position(c.fen);
    TSideFields fields = FieldsOf<Light>(position.e);
    EXPECT_EQ(BishopMobility(position.White(), fields, c.square), c.expected) << c.fen;
    EXPECT_EQ(position.e.Bad_Bishop_L, c.expected == -10 ? 1 : 0) << c.fen;
  }
}

TEST(BishopTrapPatterns, EdgeCornerAndHomeTraps) {
  const TSquareCase cases[] = {
      {"4k3/B7/1p6/8/8/8/8/4K3 w - - 0 1", a7, -100},
      {"4k3/B7/1P6/8/8/8/8/4K3 w - - 0 1", a7, -50},
      {"4k3/8/8/8/8/2P5/8/B3K3 w - - 0 1", a1, 0},  // own c3 pawn still free to advance
      {"4k3/8/8/8/2p5/2P5/8/B3K3 w - - 0 1", a1, -25},
      {"4k3/8/8/8/8/2p5/8/B3K3 w - - 0 1", a1, -25},
      {"4k3/8/8/8/1p6/2p5/8/B3K3 w - - 0 1", a1, -50},
      {"4k3/8/8/8/5p2/5P2/8/4K2B w - - 0 1", h1, -25},
      {"4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1", c1, -40},
      {"4k3/8/8/8/8/8/1P1N4/2B1K3 w - - 0 1", c1, -10},
      {"4k3/8/8/8/8/8/3P4/2B1K3 w - - 0 1", c1, -5},
      {"4k3/8/8/8/8/4P3/1P6/2B1K3 w - - 0 1", c1, -5},
      {"4k3/8/8/8/8/8/1P6/2B1K3 w - - 0 1", c1, 0},
  };
  for (const TSquareCase& c : cases) {
    TPieceCase position(c.fen);
    EXPECT_EQ(BishopTrapPatterns(position.White(), c.square), c.expected) << c.fen;
  }
}

TEST(RookTerms, TrappedAndHemmedInRooks) {
  const TSquareCase home[] = {
      {"4k3/8/8/8/8/8/6P1/6KR w - - 0 1", h1, -30},
      {"4k3/8/8/8/8/8/8/6KR w - - 0 1", h1, 0},  // no g-pawn: the rook gets out
      {"4k3/8/8/8/8/8/1P6/RNB1K3 w - - 0 1", a1, -25},
      {"4k3/8/8/8/8/8/8/1RB1K3 w - - 0 1", b1, -15},
      {"4k3/8/8/8/8/8/8/5KR1 w - - 0 1", g1, -30},
  };
  for (const TSquareCase& c : home) {
    TPieceCase position(c.fen);
    EXPECT_EQ(RookHomePenalty(position.White(), c.square), c.expected) << c.fen;
  }
  const TSquareCase hemmed[] = {
      {"4k3/8/8/8/2PRP3/8/8/4K3 w - - 0 1", d4, -RookBlocked},
      {"4k3/8/8/8/2PR4/8/8/4K3 w - - 0 1", d4, 0},
      {"4k3/8/8/8/R1P5/8/8/4K3 w - - 0 1", a4, -RookBlocked},  // own pawn two files over
      {"4k3/8/8/8/R1p5/8/8/4K3 w - - 0 1", a4, 0},
  };
  for (const TSquareCase& c : hemmed) {
    TPieceCase position(c.fen);
    EXPECT_EQ(RookHemmedIn(position.White(), c.square), c.expected) << c.fen;
  }
}

TEST(RookTerms, OpenAndHalfOpenFilesAreRecorded) {
  struct TFileCase {
    const char* fen;
    int open1, open2, halfOpen1;
  };
  const TFileCase cases[] = {
      {"4k3/2p5/8/4p3/8/8/8/3RR1K1 w - - 0 1", 4, 0, 5},
      {"4k3/8/5p2/4p3/8/8/8/3RR1K1 w - - 0 1", 4, 0, 0},  // f6 can come to protect e5
      {"4k3/4p3/4p3/8/8/8/8/3RR1K1 w - - 0 1", 4, 0, 0},  // doubled enemy pawns
      {"4k3/8/8/8/8/8/8/R3K2R w - - 0 1", 1, 8, 0},
  };
  for (const TFileCase& c : cases) {
    TPieceCase position(c.fen);
    position.Pieces(Light);
    EXPECT_EQ(position.e.ColonneTour1_L, c.open1) << c.fen;
    EXPECT_EQ(position.e.ColonneTour2_L, c.open2) << c.fen;
    EXPECT_EQ(position.e.ColSemiTour1_L, c.halfOpen1) << c.fen;
  }
  TPieceCase black("3rr1k1/8/8/8/4P3/8/2P5/4K3 b - - 0 1");
  black.Pieces(Dark);
  EXPECT_EQ(black.e.ColonneTour1_D, 4);
  EXPECT_EQ(black.e.ColSemiTour1_D, 5);
}

TEST(RookTerms, RookBehindAPasserAndOnTheSeventhRank) {
  // The same rook behind a d6 pawn, passed or held by the e7 pawn.
  TPieceCase passer("4k3/8/3P4/8/8/8/8/3RK3 w - - 0 1");
  TPieceCase held("4k3/4p3/3P4/8/8/8/8/3RK3 w - - 0 1");
  EXPECT_EQ(passer.Pieces(Light) - held.Pieces(Light), RookBehindPasser[6]);

  // Two rooks and the queen on the seventh rank count 4: +20 on top of the
  // rooks' own +10; with the queen on the sixth nothing else changes.
  TPieceCase seventh("k7/2RRQ3/8/8/8/8/8/6K1 w - - 0 1");
  TPieceCase sixth("k7/2RR4/4Q3/8/8/8/8/6K1 w - - 0 1");
  EXPECT_EQ(seventh.Pieces(Light) - sixth.Pieces(Light), 20);
}

TEST(LineTropism, RaysIntoTheKingZone) {
  const TSquareCase cases[] = {
      {"6k1/5p1p/8/8/8/8/8/6RK b - - 0 1", g1, 15},     // g7 empty, then the king
      {"6k1/5ppp/8/8/8/8/8/6RK b - - 0 1", g1, 5},      // stopped by the g7 pawn in the zone
      {"6k1/5p1p/8/6p1/8/8/8/6RK b - - 0 1", g1, 5},    // through a loose g5 pawn
      {"6k1/5p1p/7p/6p1/8/8/8/6RK b - - 0 1", g1, 0},   // g5 protected: no ray
      {"6k1/5p1p/8/8/8/8/6P1/6RK b - - 0 1", g1, 0},    // own pawn in the way
  };
  for (const TSquareCase& c : cases) {
    TPieceCase position(c.fen);
    EXPECT_EQ(LineTropism(position.White(), Rook, c.square), c.expected) << c.fen;
  }
}

TEST(QueenTerms, QueenNearTheEnemyKing) {
  TPieceCase near("4k3/8/2Q5/8/8/8/8/4K3 b - - 0 1");
  near.Pieces(Light);
  EXPECT_TRUE(near.e.DameProche_L);
  EXPECT_EQ(near.e.TabTropisme[Light][Queen], QueenNear[2]);
  EXPECT_EQ(near.e.ColonneDame_L, 3);
}

// The colour-mirrored twin of a position gives Black exactly what White got.
TEST(PiecesMiddlegame, ColourMirroredPositionsScoreTheSame) {
  int compared = 0;
  for (const std::string& fen : VariedPositions()) {
    std::unique_ptr<TSearchBoard> board;
    try {
      board = BoardFromFen(fen);
    } catch (const std::invalid_argument&) {
      continue;  // not a legal position: nothing to compare
    }
    TPieceCase position(std::move(board));
    TPieceCase twin(MirroredBoard(*position.board));
    for (const TSide side : {Light, Dark}) {
      const TSide other = Opponent(side);
      ASSERT_EQ(position.Pieces(side), twin.Pieces(other)) << fen;
      for (int i = 1; i < 5; ++i) EXPECT_EQ(position.e.TabTropisme[side][i], twin.e.TabTropisme[other][i]) << fen;
    }
    const TEvalState& a = position.e;
    const TEvalState& b = twin.e;
    EXPECT_EQ(a.Eval_King_L, b.Eval_King_D) << fen;
    EXPECT_EQ(a.Eval_King_D, b.Eval_King_L) << fen;
    EXPECT_EQ(a.Bad_Bishop_L, b.Bad_Bishop_D) << fen;
    EXPECT_EQ(a.SetMinOpen_L, b.SetMinOpen_D) << fen;
    EXPECT_EQ(a.ColonneDame_L, b.ColonneDame_D) << fen;
    EXPECT_EQ(a.DameProche_D, b.DameProche_L) << fen;
    EXPECT_EQ(a.Ntrop_FousL, b.Ntrop_FousD) << fen;
    EXPECT_EQ(a.ColonneTour1_L + a.ColonneTour2_L, b.ColonneTour1_D + b.ColonneTour2_D) << fen;
    EXPECT_EQ(a.ColSemiTour1_D + a.ColSemiTour2_D, b.ColSemiTour1_L + b.ColSemiTour2_L) << fen;
    ++compared;
  }
  EXPECT_GE(compared, 200);
}

}  // namespace
