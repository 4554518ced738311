// The root of the search: ordering the root moves, one iteration over them,
// the ponder move and the EASY stop. Main thread and helpers share it.
#include <algorithm>
#include <cassert>
#include <mutex>

#include "board/geometry.h"
#include "eval/terms.h"
#include "platform/console.h"
#include "search/main_thread_search.h"
#include "search/search.h"

namespace {

constexpr std::uint32_t StabilityNodes = 150000;
constexpr std::int32_t StableIterations = 3;
// "info currmove" lines come from this iteration depth on.
constexpr std::int32_t CurrentMoveFromDepth = 7;
// The window around the last iteration's score that the next one starts with.
constexpr std::int32_t AspirationMargin = 80;

bool IsInfoThread(const TThreadSearch& t) { return t.Owner->Infos.HasVoice(t); }

// Only the main thread reports; helpers feed the shared table.
void Report(TThreadSearch& t, std::int32_t s) {
  if (&t == t.Owner) t.Owner->Infos.TakeVoice(t.ThreadID, s);
}

// The expected reply: the stored move of the position after the root move,
// if its origin holds a piece of the side to move there (key not compared).
TMove PonderMove(const TThreadSearch& t) {
  const THash entry = t.TransTable->Entry(t.hash);
  if (t.Color[entry.StoredMove.src] != t.Side) return TMove{};
  return TMove{entry.StoredMove.src, entry.StoredMove.dst, entry.StoredMove.promote, 0};
}

// The move the table stored for the thread's position, as the generator
// makes it there; none when it is not one of them.
TMove GeneratedMove(TThreadSearch& t, bool inCheck, TStoredMove stored) {
  if (inCheck) t.GenerateEvasions();
  else t.GenerateMoves();
  for (int i = t.FirstMove[t.Ply]; i < t.FirstMove[t.Ply + 1]; ++i) {
    const TMove m = t.MoveStack[i].m;
    if (m.from == stored.src && m.to == stored.dst && m.promote == stored.promote) return m;
  }
  return TMove{};
}

// A line cut short where the table answered goes on with the moves the
// table stored, while each is legal and no position repeats, so that the
// interface shows the whole line. The moves are played on the thread's
// board from the root, as a search would, and taken back.
void CompleteFromTable(TThreadSearch& t, TLine& line) {
  int made = 0;
  bool inCheck = t.RootInCheck;
  for (; made < line.length; ++made) {
    if (!t.MakeMove(line.moves[made])) break;
    inCheck = t.UpdateChecks(false);
  }
  while (made == line.length && line.length < PlyTableSize && t.Ply < std::uint32_t(MaxPly)) {
    const THash entry = t.TransTable->Entry(t.hash);
    if (entry.ID != t.hash || entry.IsNil) break;
    const TMove m = GeneratedMove(t, inCheck, entry.StoredMove);
    if (m.IsNone() || !t.MakeMove(m)) break;
    ++made;
    line.moves[line.length++] = m;
    if (t.IsRepetition()) break;
    inCheck = t.UpdateChecks(false);
  }
  for (; made > 0; --made) t.TakeBack();
}

// Root move `move` followed by the line its search found.
TLine RootMoveLine(TThreadSearch& t, TMove move) {
  TLine line;
  line.SetMoveAndRest(move, t.Pv.Line(1), t.Pv.Length(1));
  CompleteFromTable(t, line);
  return line;
}

// The root move `move` just gave score s; keep the best so far. Its line
// goes on with the child's when the score is exact or a fail high; a fail
// low leaves the child's row with some refutation, not a line to show.
void TakeAsBest(TThreadSearch& t, TMove move, std::int32_t s, bool withChildLine) {
  TLine line;
  if (withChildLine) line = RootMoveLine(t, move);
  else line.SetMove(move);
  std::lock_guard guard(t.RootLock);
  t.Best.m = move;
  t.Best.pv = line;
  t.Best.Depth = t.IterationDepth;
  t.Best.PreviousScore = t.Best.score;
  t.Best.score = s;
}

// Root move `move` just scored s exactly: its line is one of the lines the
// iteration shows.
void AddRootLine(TThreadSearch& t, TMove move, std::int32_t s) {
  t.RootLines.Add(RootMoveLine(t, move), s, t.IterationDepth);
  assert(t.RootLines.root_lines_is_ok());
}

template <TSearchForm Form>
std::int32_t RootSearchForm(TThreadSearch& t, std::int32_t alpha, std::int32_t beta) {
  assert(node_is_ok(t, alpha, beta, std::int32_t(t.IterationDepth.load())) && t.Ply == 0);
  // 1. The main thread's root takes the game's side and history again.
  std::int8_t flag = hashfUpper;
  TMove bestMove;
  bool searched = false;
  if (t.ThreadID == 1) {
    const TBoardState& source = static_cast<TMainThreadSearch&>(t).Source;
    t.Ply = 0;
    t.HistoryLength = source.HistoryLength;
    t.Side = source.Side;
    t.XSide = Opponent(source.Side);
  }
  // 2. Order the root moves, the stored move first.
  {
    std::lock_guard guard(t.RootLock);
    OrderRootMoves(t);
    t.TransTable->HashMoveToFront(t);
  }
  TMainThreadSearch& main = *t.Owner;
  TTimeManager& clock = main.Clock;
  const bool rootInCheck = t.RootInCheck;
  const std::int32_t depth = std::int32_t(t.IterationDepth.load());
  // Several lines (MultiPV): every move is searched against the worst line
  // held, so that each one that enters gets an exact score.
  const bool severalLines = t.RootLines.Wanted() > 1;
  const std::int32_t windowAlpha = alpha;
  t.RootLines.Start(t.RootLines.Wanted());
  // 3. Search every root move in turn.
  for (int i = 0; i < t.RootMoveCount(); ++i) {
    {
      std::lock_guard guard(t.RootLock);
      t.PickNextMove(i);
    }
    const TMove move = t.MoveStack[i].m;
    // a. Make it (the list is legal already).
    if (rootInCheck) t.MakeMoveUnchecked(move);
    else t.MakeMove(move);
    // b. Tell the interface which move is searched.
    if (depth > CurrentMoveFromDepth && clock.Mode() != tmSuddenDeath) main.Infos.CurrentMove(move, i, t.ThreadID);
    // c. Search it against the best score so far, or the worst line held.
    searched = true;
    const std::int32_t floor = severalLines ? t.RootLines.Bar(windowAlpha) : alpha;
    const auto search = [&](std::int32_t lower, std::int32_t upper) {
      return -AlphaBeta<Form>(t, -upper, -lower, depth - 1, TPathExtensions{}, false, rootInCheck, false);
    };
    // Once every line is held, most moves cannot enter: a null window
    // proves that cheaply, and only a move that passes it is searched again
    // for its exact score.
    const bool scout = severalLines && t.RootLines.Full() && floor + 1 < beta;
    std::int32_t s = scout ? search(floor, floor + 1) : search(floor, beta);
    if (scout && s > floor) s = search(floor, beta);
    // d. A collapse of the first move's score asks for HELP.
    if (i == 0) clock.RequestHelp(t, s, t.OtherThreadScoreNotNegative(), IsInfoThread(t));
    // e. The expected reply, while the child position is on the board.
    if (i == 0 || s > alpha) {
      const TMove reply = PonderMove(t);
      std::lock_guard guard(t.RootLock);
      t.ExpectedReply = reply;
    }
    // f. Take it back; an exact score makes it one of the lines shown.
    t.TakeBack();
    if (severalLines && s > floor && s < beta) AddRootLine(t, move, s);
    // g. The first move's new score, the time bonus and the EASY stop.
    if (i == 0 && !t.Best.m.IsNone() && (s != t.Best.score || t.Best.PreviousScore == NoScore)) {
      TakeAsBest(t, move, s, s > alpha);
      Report(t, s);
      if (!clock.HelpActive() && IsInfoThread(t)) clock.TimeBonus(t, t.Best.PreviousScore, s);
    }
    if (i == 0 && !severalLines && IsInfoThread(t) && EasyStop(t)) {
      t.TransTable->RecordHash(t, move, depth, s, hashfExact);
      return s;
    }
    // h. A move that does not raise alpha changes nothing more.
    if (s <= alpha) continue;
    // i. A new best move.
    TakeAsBest(t, move, s, true);
    if (i > 0) {
      Report(t, s);
      if (!clock.HelpActive() && IsInfoThread(t)) clock.TimeBonus(t, t.Best.PreviousScore, s);
    }
    // j. A score back to even ends a HELP period.
    if (clock.HelpActive() && s >= 0 && depth >= clock.HelpDepth() && !(i == 0 && IsInfoThread(t))) clock.EndHelpWait();
    // k. History, killers, and a look at the clock.
    t.AddHistory(move, depth);
    t.RecordRootKiller(move, depth);
    t.CheckStop();
    // l. Beyond the window: the iteration is searched again.
    if (s >= beta) {
      t.TransTable->RecordHash(t, move, depth, s, hashfLower);
      return s;
    }
    // m. Alpha rises; a mate in one cannot be bettered.
    bestMove = move;
    alpha = s;
    flag = hashfExact;
    // With several lines asked for, the other moves still need theirs.
    if (!severalLines && NoShorterMate(alpha, t.Ply)) return alpha;
  }
  // 4. No move, a fifty-move draw, or the result stored.
  if (!searched) return rootInCheck ? std::int32_t(t.Ply) - MateScore : 0;
  if (t.HalfmoveClock >= 100) return 0;
  t.TransTable->RecordHash(t, bestMove, depth, alpha, flag);
  return alpha;
}

}  // namespace

// The EASY stop: the best move has stayed put and its score has risen
// over several iterations, so more thinking is unlikely to change it.
bool EasyStop(TThreadSearch& t) {
  TBest& best = t.Best;
  const TTimeManager& clock = t.Owner->Clock;
  const bool applies =
      !clock.Pondering() && !best.m.IsNone() && !clock.BonusGranted() && clock.OnClock() && t.Nodes >= StabilityNodes;
  std::lock_guard guard(t.RootLock);
  if (!applies) {
    best.RisingIterations = 0;
    return false;
  }
  if (t.IterationDepth < PhaseMinDepth(t.Eval.PhaseAtRoot) || t.HistoryLength == 0) return false;
  if (best.PreviousScore != NoScore) {
    if (!(best.m == best.PreviousMove)) best.MoveChanged = true;
    if (best.PreviousScore > best.score) best.ScoreDropped = true;
    else if (best.PreviousScore < best.score) ++best.RisingIterations;
  }
  best.PreviousMove = best.m;
  best.PreviousScore = best.score;
  if (best.ScoreDropped || best.MoveChanged) {
    best.RisingIterations = 0;
    best.MoveChanged = false;
    best.ScoreDropped = false;
  }
  if (best.RisingIterations < StableIterations) return false;
  t.Owner->SearchStopped = true;
  if (t.ThreadID != 1) t.stop = true;
  WriteInfoString("EASY !!");
  return true;
}

void OrderRootMoves(TThreadSearch& t) {
  const bool inCheck = t.RootInCheck;
  for (int i = 0; i < t.RootMoveCount(); ++i) {
    TGen& g = t.MoveStack[i];
    const TMove m = g.m;
    const TBoardPiece victim = t.Piece[m.to];
    if (!inCheck) {
      if (m.Has(MovePromote)) g.score = PieceValue[victim] + 1000 * i + 1000000;
      else g.score = t.KillerBonus(m) + t.History[t.Side][m.from][m.to];
    } else if (m.Has(MovePromote)) {
      g.score = PieceValue[victim] + 1004000;
    } else if (m.Has(MoveCapture)) {
      const int captured = m.Has(MoveEnPassant) ? Pawn : victim;
      g.score = 10 * captured + 1000000 - t.Piece[m.from];
    } else {
      g.score = t.KillerBonus(m);
    }
  }
}

std::int32_t RootSearch(TThreadSearch& t, std::int32_t alpha, std::int32_t beta) {
  if (t.Eval.PhaseAtRoot != endgame) return RootSearchForm<TSearchForm::Normal>(t, alpha, beta);
  if (t.Tablebases->Loaded() && t.Owner->Clock.TimeLeft() >= 10000)
    return RootSearchForm<TSearchForm::EndgameTB>(t, alpha, beta);
  return RootSearchForm<TSearchForm::Endgame>(t, alpha, beta);
}

void HashMoveFirst(TThreadSearch& t) {
  t.StoredMoveFound = false;
  const THash entry = t.TransTable->Entry(t.hash);
  if (entry.ID != t.hash || entry.Depth < 1 || !t.Owner->Clock.OnClock() || entry.IsNil) return;
  for (int i = 0; i < t.RootMoveCount(); ++i) {
    const TMove m = t.MoveStack[i].m;
    if (m.from != entry.StoredMove.src || m.to != entry.StoredMove.dst || m.promote != entry.StoredMove.promote)
      continue;
    std::lock_guard guard(t.RootLock);
    t.StoredMoveFound = true;
    t.Best.m = t.Best.PreviousMove = m;
    t.Best.pv.SetMove(m);
    t.Best.score = t.Best.PreviousScore = entry.Score;
    t.Best.Depth = std::uint32_t(entry.Depth);
    std::swap(t.MoveStack[i], t.MoveStack[0]);
    return;
  }
}

bool InRootList(const TThreadSearch& t, TMove m) {
  for (int i = 0; i < t.RootMoveCount(); ++i)
    if (t.MoveStack[i].m == m) return true;
  return false;
}

bool IterationCompleted(const TThreadSearch& t) {
  // With several lines, each of them must have come inside the window too.
  const int lines = std::min(t.RootLines.Wanted(), t.RootMoveCount());
  return !t.Best.m.IsNone() && t.ThreadScore > t.RootAlpha && t.ThreadScore < t.RootBeta &&
         (lines == 1 || t.RootLines.Count() == lines);
}

bool AdvanceIteration(TThreadSearch& t) {
  if (!IterationCompleted(t)) {
    // Outside the aspiration window: the same depth again, fully open.
    t.RootAlpha = -Infinity;
    t.RootBeta = Infinity;
    return false;
  }
  // With several lines the window spans them all, from the worst to the best.
  const std::int32_t lowest = t.RootLines.Wanted() == 1 ? t.ThreadScore : t.RootLines[t.RootLines.Count() - 1].score;
  t.RootAlpha = std::max(lowest - AspirationMargin, -Infinity);
  t.RootBeta = std::min(t.ThreadScore + AspirationMargin, Infinity);
  ++t.IterationDepth;
  return true;
}
