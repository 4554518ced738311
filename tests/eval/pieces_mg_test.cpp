// Middlegame piece terms on small hand-made positions, from White's side
// (colour symmetry is checked over many positions in symmetry_test.cpp); the
// king term: the shelter with and without the enemy queen, the rule the enemy
// material selects, and the castling bonus.
#include <gtest/gtest.h>

#include "eval/king_shelter.h"
#include "eval/line_tropism.h"
#include "eval/minor_pieces.h"
#include "eval/eval_case.h"
#include "eval/piece_tables.h"
#include "eval/rook_terms.h"
#include "board/square_names.h"

namespace {

using namespace sq;

// The single terms a table row can ask for, of the white piece on a square.
enum TTerm { Outpost, KnightSquare, BishopScope, BishopTraps, RookAtHome, RookHemmed, RookLines };

int WhiteTerm(TEvalCase& position, TTerm term, int square) {
  TSideFields fields = FieldsOf<Light>(position.e);
  switch (term) {
    case Outpost: return MinorOutpost(position.White(), fields, square, KnightOutpost);
    case KnightSquare: return KnightPlacement(position.White(), square);
    case BishopScope: return BishopMobility(position.White(), fields, square);
    case BishopTraps: return BishopTrapPatterns(position.White(), square);
    case RookAtHome: return RookHomePenalty(position.White(), square);
    case RookHemmed: return RookHemmedIn(position.White(), square);
    case RookLines: return LineTropism(position.White(), Rook, square);
  }
  return 0;
}

TEST(PiecesMiddlegame, SquareTerms) {
  struct TCase { TTerm term; const char* fen; int square, expected; };
  const TCase cases[] = {
      // Knight outposts: protected by a pawn from beside, not on the edge or in the corner.
      {Outpost, "4k3/8/8/3N4/4P3/8/8/4K3 w - - 0 1", d5, 15},
      {Outpost, "4k3/8/8/3N4/8/4P3/8/4K3 w - - 0 1", d5, 0},  // e3 does not protect
      {Outpost, "4k3/8/8/N7/1P6/8/8/4K3 w - - 0 1", a5, 0},
      {Outpost, "4k3/8/8/N6P/8/8/8/4K3 w - - 0 1", a5, 0},  // h5 is no neighbour of a5
      {Outpost, "N3k3/1P6/8/8/8/8/8/4K3 w - - 0 1", a8, 0},
      // Trapped knights, and knights blocking the c- or e-pawn, replace the square value.
      {KnightSquare, "N3k3/p7/8/8/8/8/8/4K3 w - - 0 1", a8, -150},
      {KnightSquare, "N3k3/p7/1P6/8/8/8/8/4K3 w - - 0 1", a8, -30},  // b6 frees it: the square value
      {KnightSquare, "4k3/Np6/p7/8/8/8/8/4K3 w - - 0 1", a7, -150},
      {KnightSquare, "4k3/8/8/8/8/2N5/2P5/6K1 w - - 0 1", c3, -7},  // the king away
      {KnightSquare, "4k3/8/8/8/8/2N5/2P5/2K5 w - - 0 1", c3, 0},   // the king behind the c-pawn
      {KnightSquare, "4k3/8/8/8/8/4N3/4P3/6K1 w - - 0 1", e3, -7},
      // Bishops without forward scope are bad (-10).
      {BishopScope, "4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1", c1, -10},       // shut in by b2 and d2
      {BishopScope, "4k3/8/8/8/8/8/1P6/2B1K3 w - - 0 1", c1, 1},           // f4 the one forward square
      {BishopScope, "4k3/8/8/8/8/8/1P6/2B1KB2 w - - 0 1", c1, 3},          // worth 3 with the pair
      {BishopScope, "4k3/8/4p3/3p4/8/8/B7/4K3 w - - 0 1", a2, -10},        // biting on protected d5
      {BishopScope, "4k3/8/8/3p4/8/8/B7/4K3 w - - 0 1", a2, 6},            // c4, then a loose d5 pawn
      {BishopScope, "4k3/1p1p1p2/2p1p3/3B4/8/8/8/4K3 w - - 0 1", d5, 0},  // no scope, but far up
      {BishopScope, "4k3/8/8/4r3/8/8/8/B3K3 w - - 0 1", a1, 9},            // d4, the rook, f6, g7, h8
      // Bishops trapped on the edge, in the corner and at home.
      {BishopTraps, "4k3/B7/1p6/8/8/8/8/4K3 w - - 0 1", a7, -100},
      {BishopTraps, "4k3/B7/1P6/8/8/8/8/4K3 w - - 0 1", a7, -50},
      {BishopTraps, "4k3/8/8/8/8/2P5/8/B3K3 w - - 0 1", a1, 0},  // own c3 pawn free to advance
      {BishopTraps, "4k3/8/8/8/2p5/2P5/8/B3K3 w - - 0 1", a1, -25},
      {BishopTraps, "4k3/8/8/8/8/2p5/8/B3K3 w - - 0 1", a1, -25},
      {BishopTraps, "4k3/8/8/8/1p6/2p5/8/B3K3 w - - 0 1", a1, -50},
      {BishopTraps, "4k3/8/8/8/5p2/5P2/8/4K2B w - - 0 1", h1, -25},
      {BishopTraps, "4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1", c1, -40},
      {BishopTraps, "4k3/8/8/8/8/8/1P1N4/2B1K3 w - - 0 1", c1, -10},
      {BishopTraps, "4k3/8/8/8/8/8/3P4/2B1K3 w - - 0 1", c1, -5},
      {BishopTraps, "4k3/8/8/8/8/4P3/1P6/2B1K3 w - - 0 1", c1, -5},
      {BishopTraps, "4k3/8/8/8/8/8/1P6/2B1K3 w - - 0 1", c1, 0},
      // Rooks shut in at home by their own king, and hemmed in by pawns.
      {RookAtHome, "4k3/8/8/8/8/8/6P1/6KR w - - 0 1", h1, -30},
      {RookAtHome, "4k3/8/8/8/8/8/8/6KR w - - 0 1", h1, 0},  // no g-pawn: the rook gets out
      {RookAtHome, "4k3/8/8/8/8/8/1P6/RNB1K3 w - - 0 1", a1, -25},
      {RookAtHome, "4k3/8/8/8/8/8/8/1RB1K3 w - - 0 1", b1, -15},
      {RookAtHome, "4k3/8/8/8/8/8/8/5KR1 w - - 0 1", g1, -30},
      {RookHemmed, "4k3/8/8/8/2PRP3/8/8/4K3 w - - 0 1", d4, -RookBlocked},
      {RookHemmed, "4k3/8/8/8/2PR4/8/8/4K3 w - - 0 1", d4, 0},
      {RookHemmed, "4k3/8/8/8/R1P5/8/8/4K3 w - - 0 1", a4, -RookBlocked},  // own pawn two files over
      {RookHemmed, "4k3/8/8/8/R1p5/8/8/4K3 w - - 0 1", a4, 0},
      // Rays into the enemy king's zone.
      {RookLines, "6k1/5p1p/8/8/8/8/8/6RK b - - 0 1", g1, 15},    // g7 empty, then the king
      {RookLines, "6k1/5ppp/8/8/8/8/8/6RK b - - 0 1", g1, 5},     // stopped by g7 in the zone
      {RookLines, "6k1/5p1p/8/6p1/8/8/8/6RK b - - 0 1", g1, 5},   // through a loose g5 pawn
      {RookLines, "6k1/5p1p/7p/6p1/8/8/8/6RK b - - 0 1", g1, 0},  // g5 protected: no ray
      {RookLines, "6k1/5p1p/8/8/8/8/6P1/6RK b - - 0 1", g1, 0},   // own pawn in the way
  };
  for (const TCase& c : cases) {
    TEvalCase position(c.fen);
    EXPECT_EQ(WhiteTerm(position, c.term, c.square), c.expected) << c.fen;
    if (c.term == BishopScope) { EXPECT_EQ(position.e.BadBishops[Light], c.expected == -10 ? 1 : 0) << c.fen; }
  }
}

TEST(PiecesMiddlegame, OutpostFilesAreRecordedForTheRookBonus) {
  struct TCase { const char* fen; TSide side; TSquareSet files; };
  const TCase cases[] = {
      {"4k3/8/8/3N4/4P3/8/8/4K3 w - - 0 1", Light, FileBit(4)},
      {"4k3/8/8/N7/1P6/8/8/4K3 w - - 0 1", Light, FileBit(1)},  // the edge: recorded, though worth nothing
      {"4k3/8/8/3N4/8/4P3/8/4K3 w - - 0 1", Light, 0},
      {"4k3/8/8/N6P/8/8/8/4K3 w - - 0 1", Light, 0},
      {"4k3/8/8/4p3/3n4/8/8/4K3 b - - 0 1", Dark, FileBit(4)},
      // A bishop is an outpost only on a file without pawns.
      {"4k3/8/8/3B4/4P3/8/8/4K3 w - - 0 1", Light, FileBit(4)},
      {"4k3/3p4/8/3B4/4P3/8/8/4K3 w - - 0 1", Light, 0},
  };
  for (const TCase& c : cases) {
    TEvalCase position(c.fen);
    position.Pieces(c.side);
    EXPECT_EQ(position.e.MinorOutpostFiles[c.side], c.files) << c.fen;
  }
}

TEST(PiecesMiddlegame, RookAndQueenFiles) {
  struct TCase { const char* fen; int open1, open2, halfOpen1; };
  const TCase cases[] = {
      {"4k3/2p5/8/4p3/8/8/8/3RR1K1 w - - 0 1", 4, 0, 5},
      {"4k3/8/5p2/4p3/8/8/8/3RR1K1 w - - 0 1", 4, 0, 0},  // f6 can come to protect e5
      {"4k3/4p3/4p3/8/8/8/8/3RR1K1 w - - 0 1", 4, 0, 0},  // doubled enemy pawns
      {"4k3/8/8/8/8/8/8/R3K2R w - - 0 1", 1, 8, 0},
  };
  for (const TCase& c : cases) {
    TEvalCase position(c.fen);
    position.Pieces(Light);
    EXPECT_EQ(position.e.OpenFileRook1[Light], c.open1) << c.fen;
    EXPECT_EQ(position.e.OpenFileRook2[Light], c.open2) << c.fen;
    EXPECT_EQ(position.e.HalfOpenFileRook1[Light], c.halfOpen1) << c.fen;
  }
  TEvalCase black("3rr1k1/8/8/8/4P3/8/2P5/4K3 b - - 0 1");
  black.Pieces(Dark);
  EXPECT_EQ(black.e.OpenFileRook1[Dark], 4);
  EXPECT_EQ(black.e.HalfOpenFileRook1[Dark], 5);
  // A queen near the enemy king.
  TEvalCase queen("4k3/8/2Q5/8/8/8/8/4K3 b - - 0 1");
  queen.Pieces(Light);
  EXPECT_TRUE(queen.e.QueenNearKing[Light]);
  EXPECT_EQ(queen.e.TabTropisme[Light][Queen], QueenNear[2]);
  EXPECT_EQ(queen.e.QueenFile[Light], 3);
}

TEST(PiecesMiddlegame, RookBehindAPasserAndOnTheSeventhRank) {
  // The same rook behind a d6 pawn, passed or held by the e7 pawn.
  TEvalCase passer("4k3/8/3P4/8/8/8/8/3RK3 w - - 0 1");
  TEvalCase held("4k3/4p3/3P4/8/8/8/8/3RK3 w - - 0 1");
  EXPECT_EQ(passer.Pieces(Light) - held.Pieces(Light), RookBehindPasser[6]);
  // Two rooks and the queen on the seventh rank count 4: +20 on top of the
  // rooks' own +10; with the queen on the sixth nothing else changes.
  TEvalCase seventh("k7/2RRQ3/8/8/8/8/8/6K1 w - - 0 1");
  TEvalCase sixth("k7/2RR4/4Q3/8/8/8/8/6K1 w - - 0 1");
  EXPECT_EQ(seventh.Pieces(Light) - sixth.Pieces(Light), 20);
}


int WhiteShelter(TEvalCase& position, bool enemyQueen) {
  const int king = position.board->KingSquare(Light);
  TSideFields fields = FieldsOf<Light>(position.e);
  const int value = enemyQueen ? KingShelterWithQueen(position.White(), fields, king, KingShelterBase[king])
                               : KingShelterWithoutQueen(position.White(), fields, king, KingShelterBase[king]);
  EXPECT_EQ(position.e.KingSafety[Light], value);
  return value;
}

TEST(KingShelter, WithAndWithoutTheEnemyQueen) {
  struct TCase { const char* fen; bool enemyQueen; int expected; };
  const TCase cases[] = {
      // Castled king behind unmoved pawns: no penalty at all.
      {"rnbqkbnr/pppppppp/8/8/8/8/5PPP/6K1 w - - 0 1", true, 0},
      // g-file open for both, enemy king on the other wing: 40 + 15.
      {"rnkqbbnr/pppppp1p/8/8/8/8/5P1P/6K1 w - - 0 1", true, -55},
      // The same against queen and rook only: scaled by 1370 of 3060, toward zero.
      {"2kq3r/pppppp1p/8/8/8/8/5P1P/6K1 w - - 0 1", true, -55 * 1370 / 3060},
      // King stepped up to g3 in front of its pawns: base -20, the three
      // pawns behind it cost 20 each (f halved while g2 stands), +2 each as neighbours.
      {"rnbqkbnr/pppppppp/8/8/8/6K1/5PPP/8 w - - 0 1", true, -20 - 10 - 20 - 20 + 6},
      // Enemy pawns storming g and h: g4 and h5 (rows 4 and 3 from Black's side).
      {"rnbqkbnr/pppppp2/8/7p/6p1/8/5PPP/6K1 w - - 0 1", true, -(Storm[4] + Storm[3])},
      {"rnb1kbnr/pppppppp/8/8/8/8/5PPP/6K1 w - - 0 1", false, 0},
      // Without the queen, no f-pawn: its term is halved for a king in the
      // corner (and scaled by the enemy's 2160 of 3060)...
      {"rnb1kbnr/pppppppp/8/8/8/8/6PP/6K1 w - - 0 1", false, -ShelterQuiet[0] / 2 * 2160 / 3060},
      // ...but not when the enemy king is on the other wing.
      {"rnkb1bnr/pppppppp/8/8/8/8/6PP/6K1 w - - 0 1", false, -ShelterQuiet[0] * 2160 / 3060},
  };
  for (const TCase& c : cases) {
    TEvalCase position(c.fen);
    EXPECT_EQ(WhiteShelter(position, c.enemyQueen), c.expected) << c.fen;
  }
}

TEST(KingShelter, CentreKingFacesOpenFilesHarderWithoutCastlingRights) {
  // King e1 behind d2, e2, f2; no enemy pawn on d, e or f.
  TEvalCase position("rnbqkbnr/ppp5/8/8/8/8/3PPP2/4K3 w - - 0 1");
  position.board->Castle = 1;
  EXPECT_EQ(WhiteShelter(position, true), -15 - 3 * StormCentreCastle[7]);
  position.board->Castle = 0;
  EXPECT_EQ(WhiteShelter(position, true), -15 - 3 * StormCentre[7]);
}

TEST(KingTerm, ChoosesTheRuleByTheEnemyMaterial) {
  struct TKingCase { const char* fen; int evalKing; };
  const TKingCase cases[] = {
      {"1r2kb1r/8/8/8/8/8/5PPP/6K1 w - - 0 1", KingCentre[g1]},       // 120 without queen
      {"1rn1kb1r/8/8/8/8/8/5PPP/6K1 w - - 0 1", KingQuiet[g1]},       // 150 without queen
      // 120 with a queen: the shelter, here the open g-file scaled by 1210 of 3060.
      {"3qkb2/8/8/8/8/8/5P1P/6K1 w - - 0 1", -ShelterKnightFile[0] * 1210 / 3060},
  };
  for (const TKingCase& c : cases) {
    TEvalCase position(c.fen);
    position.Pieces(Light);
    EXPECT_EQ(position.e.KingSafety[Light], c.evalKing) << c.fen;
  }
}

TEST(KingTerm, CastlingBonusOnceTheRightsAreGone) {
  TEvalCase position("rnbqkbnr/pppppppp/8/8/8/8/5PPP/5RK1 w kq - 0 1");
  TEtatPieces& king = position.board->KingEntry(Light);
  king.RoqueAutorise = true;
  king.RoiARoque = PetitRoque;
  const int castled = position.Pieces(Light);
  king.RoiARoque = NonRoque;
  const int lostRights = position.Pieces(Light);
  EXPECT_EQ(castled - lostRights, CastleBonus[PetitRoque] - CastleBonus[NonRoque]);
  position.board->Castle |= 1;  // still may castle: neither bonus nor penalty
  EXPECT_EQ(position.Pieces(Light) - lostRights, -CastleBonus[NonRoque]);
}

}  // namespace
