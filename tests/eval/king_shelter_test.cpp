// The king term: the shelter with and without the enemy queen, the rule the
// enemy material selects, and the castling bonus.
#include <gtest/gtest.h>

#include "eval/king_shelter.h"
#include "eval/piece_tables.h"
#include "eval/eval_case.h"
#include "board/square_names.h"

namespace {

using namespace sq;

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
