// The evaluation driver: phase and material, the pawn-hash probe, the passed
// pawns, then the endgame evaluator or the middlegame's pieces and
// adjustments.
#include "board/keys.h"
#include "board/square_names.h"
#include "eval/driver_tables.h"
#include "eval/middlegame_adjustments.h"
#include "eval/pawns.h"
#include "eval/terms.h"

namespace {

// Counters of the material on the board; the phase rules read them.
void CountMaterial(const TSearchBoard& board, TEvalState& e) {
  std::int32_t pieces[2] = {}, points[2] = {};
  for (const TSide side : {Light, Dark}) {
    e.MaterialScore[side] = 0;
    for (const TPiece kind : {Knight, Bishop, Rook, Queen, King}) {
      pieces[side] += board.MenCount[side][kind];
      points[side] += MaterialPoints[kind] * board.MenCount[side][kind];
      e.MaterialScore[side] += PieceValue[kind] * board.MenCount[side][kind];
    }
  }
  e.NonPawnMen[Light] = pieces[Light];
  e.NonPawnMen[Dark] = pieces[Dark];
  e.Material[Light] = points[Light];
  e.Material[Dark] = points[Dark];
}

// Enough material for a middlegame: one side above 120 points, and either a
// queen on the board or both sides above 120.
bool MiddlegameMaterial(const TSearchBoard& board, const TEvalState& e) {
  constexpr int Threshold = 120;
  const bool light = e.Material[Light] > Threshold, dark = e.Material[Dark] > Threshold;
  const bool queens = board.MenCount[Light][Queen] + board.MenCount[Dark][Queen] > 0;
  return (light || dark) && (queens || (light && dark));
}

// The pawn-hash probe and store, leaving pawn totals plus piece material in Score.
void EvaluatePawnStructure(const TSearchBoard& board, TEvalState& e, TPawnHash& pawnHash) {
  TPawnHashEntry& entry = pawnHash.Entry(board.hashP);
  const std::uint32_t key = board.hashP ^ Keys.PhaseKeys[PhaseKeySelect[e.Phase]];
  if (entry.ID == key) {
    e.Score = entry.TabScore;
    e.PawnFlags = entry.StoredPawnFlags;
    e.PasserSet = entry.StoredPassers;
    UnpackWingCounts(entry.WingCounts, e.KingWingPawns, e.QueenWingPawns);
    PreparePawnsHit(board, e, entry.StoredPassers);
  } else {
    PreparePawnsMiss(board, e);
    const TSidePair pawns = ScorePawns(board, e);
    entry.ID = key;
    entry.TabScore = pawns;
    entry.StoredPassers = e.PasserSet;
    entry.StoredPawnFlags = e.PawnFlags;
    entry.WingCounts = PackWingCounts(e.KingWingPawns, e.QueenWingPawns);
    e.Score = pawns;
  }
  e.Score[Light] += e.MaterialScore[Light];
  e.Score[Dark] += e.MaterialScore[Dark];
}

// The middlegame: the pawn and passer extras, both sides' pieces with their
// king attacks, then the global adjustments.
int EvaluateMiddlegame(const TSearchBoard& board, TEvalState& e) {
  // Built in registers, not read back from the two scores just written:
  // one wide load of two narrow stores waits for them to reach the cache.
  const TSidePair base = {e.Score[Light] + e.PasserDanger[Light] + e.PawnAttackScore[Light],
                          e.Score[Dark] + e.PasserDanger[Dark] + e.PawnAttackScore[Dark]};
  e.Score = base;

  e.QueenNearKing[Light] = e.QueenNearKing[Dark] = false;
  e.Tropism[Light] = 0;
  EvaluatePiecesMiddlegame(board, e, Light);
  const TAttackFacts light = ShapeKingAttack(board, e, Light);
  e.Tropism[Dark] = 0;
  EvaluatePiecesMiddlegame(board, e, Dark);
  const TAttackFacts dark = ShapeKingAttack(board, e, Dark);
  AdjustMiddlegame(board, e, base, light, dark);
  return e.Score[board.Side] - e.Score[board.XSide];
}

}  // namespace

TPhase DeterminePhase(const TSearchBoard& board, TEvalState& e) {
  CountMaterial(board, e);
  return e.PhaseAtRoot != endgame && MiddlegameMaterial(board, e) ? middlegame : endgame;
}

TPhase RootPhase(const TSearchBoard& board, TEvalState& e) {
  CountMaterial(board, e);
  e.PhaseAtRoot = MiddlegameMaterial(board, e) ? middlegame : endgame;
  return e.PhaseAtRoot;
}

bool CentreClosed(const TSearchBoard& board) {
  struct TLock {
    int light[2], dark[2];
  };
  using namespace sq;
  static constexpr TLock Locks[4] = {
      {{d3, e4}, {d4, e5}},
      {{e3, d4}, {e4, d5}},
      {{d4, e5}, {d5, e6}},
      {{e4, d5}, {e5, d6}},
  };
  const auto pawn = [&](TSide side, int square) { return board.Color[square] == side && board.Piece[square] == Pawn; };
  for (const TLock& lock : Locks)
    if (pawn(Light, lock.light[0]) && pawn(Light, lock.light[1]) && pawn(Dark, lock.dark[0]) &&
        pawn(Dark, lock.dark[1]))
      return true;
  return false;
}

int Evaluate(const TSearchBoard& board, TEvalState& e, TPawnHash& pawnHash) {
  e.Phase = DeterminePhase(board, e);
  e.PasserDanger[Light] = e.PasserDanger[Dark] = 0;
  e.BadBishops[Light] = e.BadBishops[Dark] = 0;
  e.PawnAttackScore[Light] = e.PawnAttackScore[Dark] = 0;

  EvaluatePawnStructure(board, e, pawnHash);
  ScorePassedPawns(board, e);
  if (e.Phase == endgame) return EvaluateEndgame(board, e);
  return EvaluateMiddlegame(board, e);
}
