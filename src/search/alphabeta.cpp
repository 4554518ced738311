// The alpha-beta node below the root, written as the numbered steps of its
// algorithm. One body serves the three forms; the form is a template
// parameter, so every test on it costs nothing at run time.
#include <algorithm>
#include <cassert>

#include "board/keys.h"
#include "eval/terms.h"
#include "search/egtb_bridge.h"
#include "search/search.h"

namespace {

// Recaptures that extend: pawn for pawn, minor or rook for minor or rook,
// queen for queen. Indexed [earlier capture][later capture].
constexpr bool IsRecapturePair(int earlier, int later) {
  const auto minorOrRook = [](int kind) { return kind == Knight || kind == Bishop || kind == Rook; };
  return (earlier == Pawn && later == Pawn) || (minorOrRook(earlier) && minorOrRook(later)) ||
         (earlier == Queen && later == Queen);
}

// The last move recaptured on the square where the move before it captured.
bool IsRecapture(const TThreadSearch& t) {
  const THist& last = t.GameHistory[t.HistoryLength - 1];
  const THist& before = t.GameHistory[t.HistoryLength - 2];
  return IsRecapturePair(before.Capture, last.Capture) && last.m.to == before.CaptureSquare;
}

// The last move took the last piece: what is left is a pawn ending.
bool EnteredPawnEnding(const TThreadSearch& t) {
  const TBoardPiece captured = t.GameHistory[t.HistoryLength - 1].Capture;
  return captured >= Knight && captured <= Queen && t.PieceCountBothSides() == 0;
}

// The pawn that just moved stands on its sixth or seventh rank with the way ahead free.
bool AdvancedPawnMoved(const TThreadSearch& t) {
  const int square = t.GameHistory[t.HistoryLength - 1].m.to;
  if (t.Piece[square] != Pawn) return false;
  if (t.XSide == Light) {
    const int rank = 8 - square / 8;
    return (rank == 6 || rank == 7) && t.Piece[square - 8] == bpEmpty;
  }
  const int rank = 8 - square / 8;
  return (rank == 3 || rank == 2) && t.Piece[square + 8] == bpEmpty;
}

int MenOnBoard(const TThreadSearch& t) { return 2 + t.MenCountWithoutKings(); }

// Null move: tried against two enemy pieces or more, against one only this
// close to the horizon; searched this many plies shallower (one more from
// NullDeepFrom on).
constexpr int NullWithOnePieceMaxDepth = 5;
constexpr int NullReduction = 3;
constexpr int NullDeepFrom = 6;
// Late quiet moves: from the LateMoveFrom-th move on, at LateMoveMinDepth or
// deeper, first searched one ply shallower.
constexpr int LateMoveFrom = 4;
constexpr int LateMoveMinDepth = 4;
// The fifty-move rule, in plies.
constexpr std::int32_t FiftyMovePlies = 100;

}  // namespace

// A heap of promoted queens can add up beyond the mate bound; a static
// score is never a mate, so it stops short of one.
std::int32_t EvaluateNode(TThreadSearch& t) {
  std::int32_t score;
  if (t.EvalCache.Find(t, t.Eval, score)) return score;
  score = std::clamp(Evaluate(t, t.Eval, *t.PawnHash), -MateBound, MateBound);
  t.EvalCache.Store(t, t.Eval, score);
  return score;
}

bool InsufficientMaterial(TThreadSearch& t) {
  TEvalState& e = t.Eval;
  e.NonPawnMen[Light] = t.PieceCount(Light) + 1;
  e.NonPawnMen[Dark] = t.PieceCount(Dark) + 1;
  if (t.MenCount[Light][Pawn] + t.MenCount[Dark][Pawn] > 0) return false;
  const int heavy =
      t.MenCount[Light][Rook] + t.MenCount[Dark][Rook] + t.MenCount[Light][Queen] + t.MenCount[Dark][Queen];
  switch (e.NonPawnMen[Light] + e.NonPawnMen[Dark]) {
    case 2: return true;
    case 3: return heavy == 0;
    case 4:
      if (e.NonPawnMen[Light] == 2 && e.NonPawnMen[Dark] == 2 && heavy == 0) return true;
      return (e.NonPawnMen[Light] == 1 || e.NonPawnMen[Dark] == 1) &&
             (t.MenCount[Light][Knight] == 2 || t.MenCount[Dark][Knight] == 2);
    default: return false;
  }
}

template <TSearchForm Form>
std::int32_t AlphaBeta(TThreadSearch& t, std::int32_t alpha, std::int32_t beta, std::int32_t depth,
                       TPathExtensions path, bool noNull, bool parentInCheck, bool afterNull) {
  constexpr bool EndgameForm = Form != TSearchForm::Normal;
  assert(node_is_ok(t, alpha, beta, depth));
  t.Pv.Clear(t.Ply);

  // 1. Horizon: the quiescence search takes over.
  if (depth <= 0) return Quiesce<EndgameForm>(t, alpha, beta, depth, 0, afterNull, false);
  t.NoteSelDepth();

  // 2. Draws by repetition and, in the endgame, by material. The entry of
  // the null move's position is fetched meanwhile: the null move comes
  // before any other move and would otherwise wait for it.
  if (!noNull) t.TransTable->Prefetch(t.KeyAfterNullMove());
  if (t.IsRepetition()) return 0;
  if constexpr (EndgameForm)
    if (InsufficientMaterial(t)) return 0;

  // 3. Transposition table.
  std::int32_t stored;
  if (t.TransTable->ProbeHash(t, alpha, beta, depth, stored)) return stored;

  // 4. Tablebases, after a capture or promotion brought the material down.
  if constexpr (Form == TSearchForm::EndgameTB) {
    t.CountNode();
    const TMove last = t.GameHistory[t.HistoryLength - 1].m;
    if (depth > 1 && last.Has(MoveCapture | MovePromote) && MenOnBoard(t) <= t.TablebaseMenLimit) {
      std::int32_t score;
      if (t.Tablebases->Probe(t, score)) {
        t.CountTablebaseHit();
        return score;
      }
    }
  }

  // 5. Check analysis.
  const bool inCheck = t.UpdateChecks(afterNull);
  std::int32_t ext = 0;

  // 6. Null move: if passing still holds beta, the position is good enough.
  const int enemyPieces = t.PieceCount(t.XSide);
  if (!inCheck && !noNull && (enemyPieces >= 2 || (enemyPieces == 1 && depth <= NullWithOnePieceMaxDepth))) {
    const std::int32_t savedEP = t.EP;
    t.MakeNullMove();
    const std::int32_t s =
        -AlphaBeta<Form>(t, -beta, -beta + 1, depth - NullReduction - (depth >= NullDeepFrom), path, true, false, true);
    if (savedEP != NoSquare) {
      t.hash ^= Keys.EPKeys[savedEP];
      t.EP = savedEP;
    }
    t.TakeBackNullMove();
    // The null move's search ran at this same ply, with the other side to
    // move: its line is no line of this node.
    t.Pv.Clear(t.Ply);
    if (s >= beta) return s;
    if (s < -MateBound && path.mateThreat == 0) {
      // Passing gets us mated: a threat worth looking at more deeply.
      ++path.mateThreat;
      ++ext;
    }
  }

  // 7. (Children never follow a null move from here on: noNull is false below.)

  // 8. The per-ply tables end here.
  if (t.Ply >= MaxPly) return EvaluateNode(t);

  // 9. Moves, with the check extension.
  if (inCheck) {
    t.GenerateEvasions();
    if (ext == 0) {
      ext = 1;
      ++path.check;
    }
  } else {
    t.GenerateMoves();
  }

  // 10. Further extensions.
  if constexpr (Form == TSearchForm::Normal) {
    if (ext == 0 && t.Ply >= 2 && IsRecapture(t) &&
        (path.recapture == 0 || (path.recapture == 1 && path.check + path.mateThreat == 0))) {
      ++ext;
      ++path.recapture;
    }
  } else {
    if constexpr (Form == TSearchForm::Endgame)
      if (ext == 0 && t.Ply >= 2 && path.recapture == 0 && IsRecapture(t)) {
        ++ext;
        ++path.recapture;
      }
    if (path.pawnEnding == 0 && EnteredPawnEnding(t)) {
      ext += 2;
      ++path.pawnEnding;
    } else if (ext == 0 && path.pawnPush == 0 && AdvancedPawnMoved(t)) {
      ++ext;
      ++path.pawnPush;
    }
  }

  // 11. No extension deeper than twice the iteration depth.
  if constexpr (Form == TSearchForm::Normal)
    if (t.IterationDepth.load(std::memory_order_relaxed) * 2 < t.Ply) ext = 0;

  // 12. The stored best move first.
  t.TransTable->HashMoveToFront(t);

  // 13. The move loop.
  const std::int32_t newDepth = depth + ext - 1;
  TMove bestMove;
  std::int8_t flag = hashfUpper;
  int movesSearched = 0;
  const int ply = int(t.Ply);
  for (int i = t.FirstMove[ply]; i < t.FirstMove[ply + 1]; ++i) {
    t.PickNextMove(i);
    const TMove move = t.MoveStack[i].m;
    t.TransTable->Prefetch(t.KeyAfter(move));
    // a. Evasions are legal by construction.
    if (inCheck) t.MakeMoveUnchecked(move);
    else if (!t.MakeMoveOutOfCheck(move)) continue;
    // b.
    if constexpr (Form != TSearchForm::EndgameTB) t.CountNode();

    // c.-e. The first move with the full window; later ones with a null
    // window, quiet late ones one ply shallower first.
    std::int32_t s;
    if (movesSearched == 0) {
      s = -AlphaBeta<Form>(t, -beta, -alpha, newDepth, path, false, inCheck, false);
    } else {
      constexpr bool ReduceAfterEvasion = Form == TSearchForm::Endgame;
      const bool reduce = movesSearched >= LateMoveFrom && depth >= LateMoveMinDepth && !inCheck &&
                          !move.Has(MoveTactical) && (ReduceAfterEvasion || !parentInCheck);
      s = reduce ? -AlphaBeta<Form>(t, -alpha - 1, -alpha, newDepth - 1, path, false, inCheck, false) : alpha + 1;
      if (s > alpha) s = -AlphaBeta<Form>(t, -alpha - 1, -alpha, newDepth, path, false, inCheck, false);
      if (s > alpha && s < beta) s = -AlphaBeta<Form>(t, -beta, -alpha, newDepth, path, false, inCheck, false);
    }
    // f.
    ++movesSearched;
    t.TakeBack();

    // g.
    if (s > alpha) {
      t.RecordKiller(move);
      t.AddHistory(move, depth);
      if (s >= beta) {
        t.TransTable->RecordHash(t, move, depth, s, hashfLower);
        return s;
      }
      bestMove = move;
      alpha = s;
      flag = hashfExact;
      t.Pv.Extend(t.Ply, move);
      if (NoShorterMate(alpha, t.Ply)) return alpha;
    }
  }

  // 14. Mate or stalemate.
  if (movesSearched == 0) return inCheck ? std::int32_t(t.Ply) - MateScore : 0;

  // 15. HalfmoveClock-move draw, else store the result.
  if (t.HalfmoveClock >= FiftyMovePlies) return 0;
  t.TransTable->RecordHash(t, bestMove, depth, alpha, flag);
  return alpha;
}

template std::int32_t AlphaBeta<TSearchForm::Normal>(TThreadSearch&, std::int32_t, std::int32_t, std::int32_t,
                                                     TPathExtensions, bool, bool, bool);
template std::int32_t AlphaBeta<TSearchForm::Endgame>(TThreadSearch&, std::int32_t, std::int32_t, std::int32_t,
                                                      TPathExtensions, bool, bool, bool);
template std::int32_t AlphaBeta<TSearchForm::EndgameTB>(TThreadSearch&, std::int32_t, std::int32_t, std::int32_t,
                                                        TPathExtensions, bool, bool, bool);
