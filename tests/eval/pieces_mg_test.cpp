// Middlegame piece and king terms: per rule a pair of positions, the worse one
// scoring lower (figures are pinned by the bench signature).
#include <gtest/gtest.h>

#include "board/square_names.h"
#include "eval/eval_case.h"
#include "eval/king_shelter.h"
#include "eval/line_tropism.h"
#include "eval/minor_pieces.h"
#include "eval/piece_tables.h"
#include "eval/rook_terms.h"

namespace {

using namespace sq;

// One term of White's piece on `s` (of its king there for the shelter).
using TView = const TSideView<Light>&;
using TTerm = int (*)(TView v, TSideFields& f, int s);
constexpr TTerm Outpost = [](TView v, TSideFields& f, int s) { return MinorOutpost(v, f, s, KnightOutpost); };
constexpr TTerm KnightSquare = [](TView v, TSideFields&, int s) { return KnightPlacement(v, s); };
constexpr TTerm BishopScope = [](TView v, TSideFields& f, int s) { return BishopMobility(v, f, s); };
constexpr TTerm BishopTraps = [](TView v, TSideFields&, int s) { return BishopTrapPatterns(v, s); };
constexpr TTerm RookAtHome = [](TView v, TSideFields&, int s) { return RookHomePenalty(v, s); };
constexpr TTerm RookHemmed = [](TView v, TSideFields&, int s) { return RookHemmedIn(v, s); };
constexpr TTerm RookLines = [](TView v, TSideFields&, int s) { return LineTropism(v, Rook, s); };
constexpr TTerm Shelter = [](TView v, TSideFields& f, int s) {
  return KingShelterWithQueen(v, f, s, KingShelterBase[s]);
};
constexpr TTerm ShelterNoQueen = [](TView v, TSideFields& f, int s) {
  return KingShelterWithoutQueen(v, f, s, KingShelterBase[s]);
};

int WhiteTerm(std::string_view fen, TTerm term, int square) {
  TEvalCase position(fen);
  TSideFields fields = FieldsOf<Light>(position.e);
  return term(position.White(), fields, square);
}

TEST(PiecesMiddlegame, EachRuleScoresTheWorsePlacementLower) {
  struct TCase {
    TTerm term;
    int square;
    const char *better, *worse;
  };
  const TCase cases[] = {
      {Outpost, d5, "4k3/8/8/3N4/4P3/8/8/4K3 w - - 0 1", "4k3/8/8/3N4/8/4P3/8/4K3 w - - 0 1"},  // e3 does not protect
      {Outpost, d5, "4k3/8/8/3N4/4P3/8/8/4K3 w - - 0 1", "4k3/8/8/N7/1P6/8/8/4K3 w - - 0 1"},   // not on the edge
      {KnightSquare, a8, "N3k3/p7/1P6/8/8/8/8/4K3 w - - 0 1", "N3k3/p7/8/8/8/8/8/4K3 w - - 0 1"},    // trapped
      {KnightSquare, c3, "4k3/8/8/8/8/2N5/2P5/2K5 w - - 0 1", "4k3/8/8/8/8/2N5/2P5/6K1 w - - 0 1"},  // blocks c2
      {BishopScope, c1, "4k3/8/8/8/8/8/1P6/2B1K3 w - - 0 1", "4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1"},
      {BishopScope, a2, "4k3/8/8/3p4/8/8/B7/4K3 w - - 0 1", "4k3/8/4p3/3p4/8/8/B7/4K3 w - - 0 1"},  // d5 protected
      {BishopTraps, a7, "4k3/B7/1P6/8/8/8/8/4K3 w - - 0 1", "4k3/B7/1p6/8/8/8/8/4K3 w - - 0 1"},
      {BishopTraps, a1, "4k3/8/8/8/8/2P5/8/B3K3 w - - 0 1", "4k3/8/8/8/2p5/2P5/8/B3K3 w - - 0 1"},
      {BishopTraps, c1, "4k3/8/8/8/8/8/1P6/2B1K3 w - - 0 1", "4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1"},
      {RookAtHome, h1, "4k3/8/8/8/8/8/8/6KR w - - 0 1", "4k3/8/8/8/8/8/6P1/6KR w - - 0 1"},
      {RookHemmed, d4, "4k3/8/8/8/2PR4/8/8/4K3 w - - 0 1", "4k3/8/8/8/2PRP3/8/8/4K3 w - - 0 1"},
      {RookLines, g1, "6k1/5p1p/8/8/8/8/8/6RK b - - 0 1", "6k1/5ppp/8/8/8/8/8/6RK b - - 0 1"},
      {RookLines, g1, "6k1/5p1p/8/6p1/8/8/8/6RK b - - 0 1", "6k1/5p1p/7p/6p1/8/8/8/6RK b - - 0 1"},  // g5 protected
      {Shelter, g1, "rnbqkbnr/pppppppp/8/8/8/8/5PPP/6K1 w - - 0 1", "rnkqbbnr/pppppp1p/8/8/8/8/5P1P/6K1 w - - 0 1"},
      {Shelter, g1, "2kq3r/pppppp1p/8/8/8/8/5P1P/6K1 w - - 0 1",
       "rnkqbbnr/pppppp1p/8/8/8/8/5P1P/6K1 w - - 0 1"},  // less to fear
      {Shelter, g1, "rnbqkbnr/pppppppp/8/8/8/8/5PPP/6K1 w - - 0 1", "rnbqkbnr/pppppp2/8/7p/6p1/8/5PPP/6K1 w - - 0 1"},
      {ShelterNoQueen, g1, "rnb1kbnr/pppppppp/8/8/8/8/6PP/6K1 w - - 0 1",
       "rnkb1bnr/pppppppp/8/8/8/8/6PP/6K1 w - - 0 1"},
  };
  for (const TCase& c : cases)
    EXPECT_GT(WhiteTerm(c.better, c.term, c.square), WhiteTerm(c.worse, c.term, c.square)) << c.worse;
  // Without forward scope a bishop is counted bad.
  TEvalCase shut("4k3/8/8/8/8/8/1P1P4/2B1K3 w - - 0 1");
  shut.Pieces(Light);
  EXPECT_EQ(shut.e.BadBishops[Light], 1);
}

TEST(PiecesMiddlegame, RooksBehindPassersOnTheSeventhAndTheCastlingBonus) {
  EXPECT_GT(TEvalCase("4k3/8/3P4/8/8/8/8/3RK3 w - - 0 1").Pieces(Light),
            TEvalCase("4k3/4p3/3P4/8/8/8/8/3RK3 w - - 0 1").Pieces(Light));
  EXPECT_GT(TEvalCase("k7/2RRQ3/8/8/8/8/8/6K1 w - - 0 1").Pieces(Light),
            TEvalCase("k7/2RR4/4Q3/8/8/8/8/6K1 w - - 0 1").Pieces(Light));
  // Castled beats having lost the rights; still holding them is in between.
  TEvalCase position("rnbqkbnr/pppppppp/8/8/8/8/5PPP/5RK1 w kq - 0 1");
  TPieceEntry& king = position.board->KingEntry(Light);
  king.CouldCastle = true;
  king.CastledAs = CastledShort;
  const int castled = position.Pieces(Light);
  king.CastledAs = NotCastled;
  const int lostRights = position.Pieces(Light);
  position.board->Castle |= 1;
  const int mayCastle = position.Pieces(Light);
  EXPECT_TRUE(castled > mayCastle && mayCastle > lostRights) << castled << " " << mayCastle << " " << lostRights;
  // The centre king facing open files suffers more once it may not castle.
  TEvalCase centre("rnbqkbnr/ppp5/8/8/8/8/3PPP2/4K3 w - - 0 1");
  const auto shelter = [&](std::uint32_t rights) {
    centre.board->Castle = rights;
    TSideFields fields = FieldsOf<Light>(centre.e);
    return KingShelterWithQueen(centre.White(), fields, e1, KingShelterBase[e1]);
  };
  EXPECT_GT(shelter(1), shelter(0));
}

}  // namespace
