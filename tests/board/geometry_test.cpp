// The board geometry tables: mailbox, constant tables, and the tables built
// at start-up.
#include <gtest/gtest.h>

#include <bit>

#include "board/geometry.h"
#include "support/engine_tables.h"

namespace {

class Geometry : public ::testing::Test {
 protected:
  void SetUp() override { EnsureEngineTables(); }
};

TEST_F(Geometry, MailboxMapsSquaresBothWays) {
  int onBoard = 0;
  for (int cell = 0; cell < 120; ++cell)
    if (Mailbox[cell] != -1) ++onBoard;
  EXPECT_EQ(onBoard, 64);
  for (int square = 0; square < 64; ++square) EXPECT_EQ(Mailbox[Mailbox64[square]], square);
  EXPECT_EQ(Mailbox64[0], 21);
  EXPECT_EQ(Mailbox64[63], 98);
  EXPECT_EQ(Step(7, 1), -1);    // h8 east
  EXPECT_EQ(Step(56, -1), -1);  // a1 west
  EXPECT_EQ(Step(0, -10), -1);  // a8 north
  EXPECT_EQ(Step(0, 21), 17);   // a8 knight jump to b6
}

TEST_F(Geometry, ConstantTables) {
  EXPECT_EQ(SquareName[0], "a8");
  EXPECT_EQ(SquareName[7], "h8");
  EXPECT_EQ(SquareName[36], "e4");
  EXPECT_EQ(SquareName[63], "h1");
  for (int square = 0; square < 64; ++square) EXPECT_EQ(ParseSquare(SquareName[square]), square);
  EXPECT_EQ(ParseSquare("a9"), -1);

  // The start position.
  for (int square = 0; square < 64; ++square) {
    const TBoardSide expected = square < 16 ? Dark : square < 48 ? bsEmpty : Light;
    EXPECT_EQ(InitColor[square], expected) << square;
    EXPECT_EQ(InitPiece[square] == bpEmpty, expected == bsEmpty) << square;
  }
  const TBoardPiece backRank[8] = {Rook, Knight, Bishop, Queen, King, Bishop, Knight, Rook};
  for (int file = 0; file < 8; ++file) {
    EXPECT_EQ(InitPiece[file], backRank[file]);
    EXPECT_EQ(InitPiece[56 + file], backRank[file]);
    EXPECT_EQ(InitPiece[8 + file], Pawn);
    EXPECT_EQ(InitPiece[48 + file], Pawn);
  }

  // Castling: a move keeps the rights that its squares do not touch.
  EXPECT_EQ(CastleMask[63] & CastleMask[56], 12u);
  EXPECT_EQ(CastleMask[0] & CastleMask[7], 3u);
  EXPECT_EQ(CastleMask[4], 3u);
  EXPECT_EQ(CastleMask[60], 12u);
  EXPECT_EQ(CastleMask[36], 15u);

  // En passant: after e2e4 the square is e3; a black pawn taking on e3 removes e4.
  EXPECT_EQ(EPBehind(Light, 36), 44);
  EXPECT_EQ(EPBehind(Dark, 44), 36);
  EXPECT_EQ(EPBehind(Dark, 28), 20);
  EXPECT_EQ(EPBehind(Light, 20), 28);

  for (int kind = Pawn; kind <= King; ++kind)
    for (int d = 0; d < OffsetCount[kind]; ++d) EXPECT_EQ(OffsetReverse[kind][d], -Offset[kind][d]);
}

TEST_F(Geometry, AttackTable) {
  EXPECT_TRUE(AttackTable(Light, Pawn, 52, 43));   // e2 takes on d3
  EXPECT_TRUE(AttackTable(Light, Pawn, 52, 45));   // and on f3
  EXPECT_FALSE(AttackTable(Light, Pawn, 52, 44));  // not straight ahead
  EXPECT_FALSE(AttackTable(Light, Pawn, 48, 39));  // a2 does not reach h4 across the edge
  EXPECT_TRUE(AttackTable(Dark, Pawn, 12, 19));    // e7 takes on d6
  EXPECT_FALSE(AttackTable(Dark, Pawn, 15, 24));   // h7 does not reach a5
  EXPECT_FALSE(AttackTable(Light, Pawn, 4, 0));    // no pawn rows on the back ranks
  EXPECT_TRUE(AttackTable(Dark, Rook, 0, 56));
  EXPECT_FALSE(AttackTable(Dark, Rook, 0, 9));
  EXPECT_TRUE(AttackTable(Dark, Knight, 0, 17));
  EXPECT_TRUE(AttackTable(Light, Bishop, 63, 0));
  EXPECT_TRUE(AttackTable(Light, Queen, 63, 0));
  EXPECT_FALSE(AttackTable(Light, King, 63, 45));
  EXPECT_FALSE(AttackTable(Light, Queen, 36, 36));

  // Reach from a corner and the centre, the same for both sides.
  const auto count = [](TSide side, int kind, int from) {
    int n = 0;
    for (int to = 0; to < 64; ++to) n += AttackTable(side, kind, from, to);
    return n;
  };
  EXPECT_EQ(count(Light, Knight, 0), 2);
  EXPECT_EQ(count(Light, Knight, 36), 8);
  EXPECT_EQ(count(Dark, Bishop, 36), 13);
  EXPECT_EQ(count(Dark, Rook, 36), 14);
  EXPECT_EQ(count(Light, Queen, 0), 21);
  EXPECT_EQ(count(Dark, King, 0), 3);
  EXPECT_EQ(count(Dark, King, 36), 8);
}

TEST_F(Geometry, DirectionsAndKingZones) {
  EXPECT_EQ(DirIndex(60, 4), 1);   // e1 to e8: -10
  EXPECT_EQ(DirIndex(63, 0), 0);   // h1 to a8: -11
  EXPECT_EQ(DirIndex(0, 63), 7);   // a8 to h1: +11
  EXPECT_EQ(DirIndex(56, 63), 4);  // a1 to h1: +1
  for (int from = 0; from < 64; ++from)
    for (int to = 0; to < 64; ++to)
      if (from != to && DirIndex(from, to) != 0) {
        EXPECT_EQ(DirIndex(to, from), 7 - DirIndex(from, to));
      }

  EXPECT_EQ(std::popcount(KingZone(0)), 4);
  EXPECT_EQ(std::popcount(KingZone(63)), 4);
  EXPECT_EQ(std::popcount(KingZone(4)), 6);
  EXPECT_EQ(std::popcount(KingZone(36)), 9);
  EXPECT_TRUE(InSet(KingZone(36), 36));
  EXPECT_TRUE(InSet(KingZone(36), 27));
  EXPECT_FALSE(InSet(KingZone(36), 34));
}

TEST_F(Geometry, KingSafetyTables) {
  // King on g1: a knight on e3 reaches g2 and f1, one on e4 only f2.
  EXPECT_EQ(Geo.KnightTropism[62][44], 10);
  EXPECT_EQ(Geo.KnightTropism[62][36], 5);
  EXPECT_EQ(Geo.KnightTropism[62][62], 0);
  EXPECT_EQ(Geo.KnightTropism[0][63], 0);

  const TDirList& farAway = Geo.BishopLinesToZone[0][57];  // b1 toward a king on a8
  EXPECT_EQ(farAway.count, 0);
  const TDirList& diagonal = Geo.BishopLinesToZone[0][63];  // h1 on the long diagonal
  ASSERT_EQ(diagonal.count, 1);
  EXPECT_EQ(diagonal.dirs[0], 0);  // -11
  const TDirList& rook = Geo.RookLinesToZone[60][4];  // e8 down the e-file to e1
  ASSERT_EQ(rook.count, 1);
  EXPECT_EQ(rook.dirs[0], 3);  // +10
  const TDirList& queen = Geo.QueenLinesToZone[36][20];  // e6 toward a king on e4
  ASSERT_EQ(queen.count, 3);  // south-west, south, south-east
  EXPECT_EQ(queen.dirs[0], 5);
  EXPECT_EQ(queen.dirs[1], 6);
  EXPECT_EQ(queen.dirs[2], 7);
  EXPECT_EQ(Geo.QueenLinesToZone[36][36].count, 0);
}

}  // namespace
