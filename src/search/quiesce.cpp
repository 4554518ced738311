// The quiescence search: captures, promotions and a few checks below the
// horizon, so that the evaluation is only trusted in quiet positions.
#include <cassert>

#include "search/search.h"

namespace {

// Starts fetching the entries every child will probe (its evaluation and
// pawn structure, then its transposition entry), all of them before the
// first move is made: a child's search here is short, and a
// fetch from memory outlasts making a move. The move searched first is
// picked now, so that its fetches go out first.
void PrefetchChildren(TThreadSearch& t) {
  t.PickNextMove(t.FirstMove[t.Ply]);
  for (int i = t.FirstMove[t.Ply]; i < t.FirstMove[t.Ply + 1]; ++i) {
    const TMove move = t.MoveStack[i].m;
    const std::uint32_t childKey = t.KeyAfter(move);
    t.TransTable->Prefetch(childKey);
    t.EvalCache.Prefetch(t, t.Eval, childKey);
    if (move.Has(MovePawn | MoveCapture)) t.PawnHash->Prefetch(t.PawnKeyAfter(move));
  }
}

}  // namespace

template <bool Endgame>
std::int32_t Quiesce(TThreadSearch& t, std::int32_t alpha, std::int32_t beta, std::int32_t depth,
                     std::int32_t checksUsed, bool afterNull, bool quietCheck) {
  assert(node_is_ok(t, alpha, beta, depth) && depth <= 0);
  t.Pv.Clear(t.Ply);
  t.NoteSelDepth();
  // 1. Draws.
  if (t.IsRepetition()) return 0;
  if constexpr (Endgame)
    if (InsufficientMaterial(t)) return 0;

  // 2. The per-ply tables end here.
  std::int32_t stored;
  if (t.Ply >= MaxPly) return t.TransTable->ProbeHash(t, alpha, beta, depth, stored) ? stored : EvaluateNode(t);

  // 3. Check analysis and the stand-pat score. They come before the table's
  // answer is read, which they do not depend on: the entry the parent began
  // to fetch arrives while they run, and the table answers here only once
  // in twenty visits.
  const bool inCheck = t.UpdateChecks(afterNull);
  const std::int32_t standPat = inCheck ? 0 : EvaluateNode(t);

  // 4. Transposition table.
  if (t.TransTable->ProbeHash(t, alpha, beta, depth, stored)) return stored;

  if (!inCheck) {
    // 5. Stand pat, then the tactical moves (and checks, twice per path).
    if (standPat >= beta) return standPat;
    if (standPat > alpha) alpha = standPat;
    if (checksUsed < 2) {
      t.GenerateCapturesAndChecks();
      ++checksUsed;
    } else {
      t.GenerateCaptures();
    }
  } else {
    // 6. In check: every evasion, no stand pat.
    t.GenerateEvasions();
  }

  // 7. A quiet check that leaves the defender several replies is not pursued.
  const int ply = int(t.Ply);
  if (quietCheck) {
    const int replies = t.FirstMove[ply + 1] - t.FirstMove[ply];
    if constexpr (Endgame) {
      if (replies >= 2 && replies <= 101) return beta;
    } else {
      if (replies == 2) ++checksUsed;
      else if (replies >= 3 && replies <= 101) return beta;
    }
  }

  // 8. The stored best move first.
  t.TransTable->HashMoveToFront(t);

  // 9. The move loop.
  TMove bestMove;
  bool raised = false;
  bool searched = false;
  PrefetchChildren(t);
  for (int i = t.FirstMove[ply]; i < t.FirstMove[ply + 1]; ++i) {
    t.PickNextMove(i);
    const TMove move = t.MoveStack[i].m;
    if (inCheck) t.MakeMoveUnchecked(move);
    else if (!t.MakeMoveOutOfCheck(move)) continue;
    searched = true;
    t.CountNode();
    const bool childQuiet = !inCheck && !move.Has(MoveCapture | MovePromote);
    const std::int32_t score = -Quiesce<Endgame>(t, -beta, -alpha, depth - 1, checksUsed, false, childQuiet);
    t.TakeBack();
    if (score > alpha) {
      if (score >= beta) {
        t.TransTable->RecordHash(t, move, depth, score, hashfLower);
        return score;
      }
      bestMove = move;
      alpha = score;
      raised = true;
      t.Pv.Extend(t.Ply, move);
      if (NoShorterMate(alpha, t.Ply)) return alpha;
    }
  }

  // 10. Mated, or the best we have.
  if (inCheck && !searched) return std::int32_t(t.Ply) - MateScore;
  t.TransTable->RecordHash(t, bestMove, depth, alpha, raised ? hashfExact : hashfUpper);
  return alpha;
}

template std::int32_t Quiesce<false>(TThreadSearch&, std::int32_t, std::int32_t, std::int32_t, std::int32_t, bool,
                                     bool);
template std::int32_t Quiesce<true>(TThreadSearch&, std::int32_t, std::int32_t, std::int32_t, std::int32_t, bool, bool);
