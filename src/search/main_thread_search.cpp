#include "search/main_thread_search.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <thread>

#include "board/keys.h"
#include "board/move_text.h"
#include "eval/terms.h"
#include "platform/console.h"
#include "platform/system.h"
#include "search/search.h"
#include "search/search_team.h"

namespace {

// The position and its game history; the move stack is not copied, the
// search generates its own root moves.
void CopyPosition(const TBoardState& from, TBoardState& to) {
  to.Color = from.Color;
  to.Piece = from.Piece;
  to.GameHistory = from.GameHistory;
  to.Side = from.Side;
  to.XSide = from.XSide;
  to.Castle = from.Castle;
  to.Castling = from.Castling;
  to.EP = from.EP;
  to.HalfmoveClock = from.HalfmoveClock;
  to.hash = from.hash;
  to.Ply = from.Ply;
  to.HistoryLength = from.HistoryLength;
}

int MenOnBoard(const TSearchBoard& b) { return 2 + b.MenCountWithoutKings(); }

// Checks often enough that a node limit is overshot by less than 1 %.
std::uint32_t NodeCheckMask(std::uint32_t limit) { return std::bit_floor(std::max(1u, limit / 100)) - 1; }

// A forced reply is searched this deep before it is played: enough for its
// score to show a short mate, too little to spend the clock on.
constexpr std::int32_t ForcedReplyDepth = 5;

// The order runs on a clock or a move time: a move played sooner saves time.
bool TimedOrder(const TSearchOrder& order) { return order.TimeMode == tmFixedTime || order.OnClock(); }

// Every thread's counters and lines start from nothing; the main thread
// shows `wanted` lines, a helper one.
void ResetForSearch(TThreadSearch& t, int wanted) {
  t.ResetBest();
  t.ResetCounters();
  t.RootLines.Start(wanted);
  t.ShownLines.Start(wanted);
}

}  // namespace

TMainThreadSearch::TMainThreadSearch(const TBoardState& source, const TEngineSettings& settings)
    : TThreadSearch(1), Source(source), Settings(settings), OpeningBook(this, settings.BookFolder), Clock(settings) {
  Owner = this;
  Tablebases = &EGTB;
  EGTB.ChooseLibrary(settings.TablebaseLibrary);
  CreateThreads();
  worker_ = std::make_unique<TWorker>([this] { Execute(); });
}

TMainThreadSearch::~TMainThreadSearch() {
  worker_.reset();
  DestroyHelpers();
}

void TMainThreadSearch::CreateThreads() {
  tablesEmpty_ = false;
  const TTableUnits share = TTranspositionTable::ThreadShare(Settings.HashMB, Settings.Threads);
  TransTable.reset();  // the old table goes before the new one is built
  TransTable = std::make_shared<TTranspositionTable>(TTranspositionTable::WholeBudget(Settings.HashMB));
  PawnHash = std::make_unique<TPawnHash>(share);
  for (std::int32_t id = 2; id <= Settings.Threads; ++id) {
    auto helper = std::make_unique<TThreadSearch>(id);
    helper->Owner = this;
    helper->Tablebases = &EGTB;
    helper->TransTable = TransTable;
    helper->PawnHash = std::make_unique<TPawnHash>(share);
    SearchThreads.push_back(std::move(helper));
  }
}

void TMainThreadSearch::DestroyHelpers() {
  for (auto& helper : SearchThreads) helper->RequestStop();
  SearchThreads.clear();  // each helper's destructor waits for its thread
}

void TMainThreadSearch::ResizeTables() {
  const std::int32_t newsize = Settings.HashMB;
  tablesEmpty_ = false;
  const TTableUnits share = TTranspositionTable::ThreadShare(newsize, std::int32_t(HelperCount()) + 1);
  // Each table is built before its old one goes: running out of memory
  // leaves the tables that could not be had as they were.
  bool sized = PawnHash->Resize(share) && TransTable->Resize(TTranspositionTable::WholeBudget(newsize));
  for (auto& helper : SearchThreads) sized = helper->PawnHash->Resize(share) && sized;
  if (!sized)
    WriteString("info string not enough memory for " + std::to_string(newsize) +
                " MB of hash tables: the previous tables are kept");
}

void TMainThreadSearch::ClearAllTables() {
  TransTable->Clear();
  PawnHash->Clear();
  for (auto& helper : SearchThreads) helper->PawnHash->Clear();
  tablesEmpty_ = true;
}

void TMainThreadSearch::CopyMain() {
  ThreadScore = NoScore;
  CopyPosition(Source, *this);
}

void TMainThreadSearch::CopyToHelper(TThreadSearch& helper) {
  helper.ThreadScore = NoScore;
  // Each search finds its own stored move; a helper dealt no move this
  // time must not carry the last search's.
  helper.StoredMoveFound = false;
  CopyPosition(*this, helper);
  helper.hashP = hashP;
  helper.Eval.PhaseAtRoot = Eval.PhaseAtRoot;
  helper.RootAlpha = RootAlpha;
  helper.RootBeta = RootBeta;
  helper.IterationDepth = IterationDepth.load();
  helper.RootInCheck = RootInCheck;
  helper.TablebaseMenLimit = TablebaseMenLimit;
  helper.PrepareBoard();
  helper.StopPollMask = DefaultCheckupMask;
}

void TMainThreadSearch::StopHelpers() {
  for (auto& helper : SearchThreads)
    if (!helper->Idle()) helper->RequestStop();
  for (auto& helper : SearchThreads) helper->WaitIdle();
}

void TMainThreadSearch::CheckStop() {
  const std::uint32_t nodeLimit = order_.NodeLimit;
  if (SearchStopped.load(std::memory_order_relaxed) || Clock.Expired(Ticks()) ||
      (nodeLimit != 0 && Nodes >= nodeLimit)) {
    SearchStopped = true;
    throw SearchAborted{};
  }
}

void TMainThreadSearch::TakeOrder(const TSearchOrder& order) {
  order_ = order;
  maxDepth_ = order.MaxDepth;
  Clock.TakeOrder(order);
}

void TMainThreadSearch::Start(const TSearchOrder& order, std::int64_t orderTick) {
  TakeOrder(order);
  // A "ponderhit" that arrives before the search has started its own clock
  // counts from the order.
  Clock.StartsAt(orderTick);
  StopRequested = false;
  Resume();
}

void TMainThreadSearch::PonderHit() { Clock.PonderHit(*this); }

void TMainThreadSearch::Stop() {
  StopRequested = true;
  StopPollMask = 1;
  // The search clears the flag when it starts, so keep raising it until the
  // thread has really parked.
  do SearchStopped = true;
  while (!Thread().WaitIdleFor(5));
}

void TMainThreadSearch::Execute() {
  Thinking = true;
  CopyMain();
  ExpectedReply = TMove{};
  Think();
  Thinking = false;
  if (output_) output_(Best.m, ExpectedReply);
}

void TMainThreadSearch::GenerateRootList() {
  if (RootInCheck) {
    GenerateRootEvasions();
  } else {
    GenerateRootMoves();
    FilterLegalRootMoves();
  }
  KeepAllowedRootMoves();
  for (int i = 0; i < RootMoveCount(); ++i) PickNextMove(i);
}

void TMainThreadSearch::KeepAllowedRootMoves() {
  int kept = 0;
  for (int i = 0; i < RootMoveCount(); ++i)
    if (order_.SearchMoves.Allows(MoveStack[i].m)) MoveStack[kept++] = MoveStack[i];
  // The interface checked its moves against its own board; should none of
  // them be here after all, every move stays rather than none.
  if (kept > 0) FirstMove[1] = kept;
}

bool TMainThreadSearch::ForcedReply() {
  if (Clock.Pondering() || HistoryLength == 0 || RootMoveCount() != 1 || !TimedOrder(order_)) return false;
  // The answer should the clock end even the short search.
  std::lock_guard guard(RootLock);
  Best.m = MoveStack[0].m;
  Best.pv.SetMove(Best.m);
  Best.score = 0;
  return true;
}

bool TMainThreadSearch::TablebaseRootMove() {
  if (!EGTB.Loaded() || Clock.Pondering() || MenOnBoard(*this) >= 7) return false;
  std::int32_t score;
  if (!EGTB.Probe(*this, score)) return false;
  bool found = false;
  TMove choice;
  std::int32_t best = -Infinity;
  CountTablebaseHit();
  for (int i = 0; i < RootMoveCount(); ++i) {
    const TMove m = MoveStack[i].m;
    if (RootInCheck) MakeMoveUnchecked(m);
    else MakeMove(m);
    const bool answered = EGTB.Probe(*this, score);
    if (answered) CountTablebaseHit();
    const bool bareKings = MenCountWithoutKings() == 0;
    TakeBack();
    if (answered) {
      if (!found || -score > best) {
        choice = m;
        best = -score;
        found = true;
      }
    } else if (bareKings) {
      // The library may not answer two bare kings: that is a draw.
      choice = m;
      best = 0;
      found = true;
    } else {
      return false;
    }
  }
  if (!found) return false;
  std::lock_guard guard(RootLock);
  Best.m = choice;
  Best.score = best;
  return true;
}

void TMainThreadSearch::Think() {
  // 1. Every thread starts afresh; the board is prepared.
  ResetForSearch(*this, order_.MultiPv);
  for (auto& helper : SearchThreads) ResetForSearch(*helper, 1);
  Infos.Init();
  maxDepth_ = order_.MaxDepth;
  PrepareBoard();
  // 2. The clock starts.
  SearchStopped = false;
  StopPollMask = DefaultCheckupMask;
  Clock.Start(*this);
  if (order_.NodeLimit) StopPollMask = std::min(StopPollMask.load(), NodeCheckMask(order_.NodeLimit));
  // 3. Empty tables, or a new search's age.
  const bool clear = clearTablesPending_;
  if (clear && !tablesEmpty_) ClearAllTables();  // the protocol usually did, while no clock ran
  clearTablesPending_ = false;
  if (clear) TransTable->RestartSearchCount();
  else TransTable->NewSearch();
  tablesEmpty_ = false;  // from here on the search writes into them
  // 4. Check analysis at the root.
  RootInCheck = AnalyseChecks(Side, KingSquare(Side));
  bool depthsExhausted = false;
  TSearchTeam team(*this);
  bool forced = false;
  // 5. The root moves, the shortcuts, then the iterations.
  if (!SearchStopped) {
    const bool finished = RunAbortable([&] {
      GenerateRootList();
      // Mate or stalemate on the board: nothing to search, nothing to play.
      if (RootMoveCount() == 0) throw SearchAborted{};
      forced = ForcedReply();
      if (!forced && !Clock.Pondering() && TablebaseRootMove()) {
        SearchStopped = true;
        Infos.GiveVoice(ThreadID);
        throw SearchAborted{};
      }
      if (forced) maxDepth_ = std::min(maxDepth_, ForcedReplyDepth);
      if (EGTB.Loaded()) TablebaseMenLimit = std::min(EGTB.Men(), 5);
      Eval.PhaseAtRoot = RootPhase(*this, Eval);
      SetPawnKey(*this);
      Clock.ForgetBonusGranted();
      IterationDepth = 1;
      RootAlpha = -Infinity;
      RootBeta = Infinity;
      HashMoveFirst(*this);
      team.StartHelpers();
      IterativeDeepening();
    });
    if (!finished) SearchStopped = true;
    depthsExhausted = finished;
  }
  // 6. The answer: chosen among the threads, which stop before the root
  // lists are checked, so that the check reads lists nobody reorders.
  team.ChooseFinalMove();
  StopHelpers();
  if (RootLines.Wanted() > 1) AnswerWithShownLines();
  EnsureLegalBest();
  // The answer's line goes out as soon as nothing can change the answer,
  // even when the move itself must wait for the interface.
  Infos.Final(*this);
  // 7. The wait. A ponder or infinite search answers only when the
  // interface asks for the move, however early it ended; a pondering one
  // that is over answers at "ponderhit" at once. Any other search that ran
  // out of depths still answers only when its time is up, unless the order
  // itself set the depth or the move was forced.
  const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); };
  bool held = false;
  while (!StopRequested && (Clock.Pondering() || order_.TimeMode == tmUnlimited)) {
    held = true;
    pause();
  }
  if (depthsExhausted && !held && !forced && order_.TimeMode != tmFixedDepth && !order_.DepthLimitGiven)
    while (!SearchStopped && !Clock.Expired(Ticks())) pause();
}

void TMainThreadSearch::AnswerWithShownLines() {
  if (ShownLines.Count() == 0) return;
  // With several lines shown, the answer is the first of them: an
  // unfinished iteration has not ranked its lines against each other.
  const TLine& line = ShownLines[0].line;
  std::lock_guard guard(RootLock);
  Best.m = line.moves[0];
  Best.pv = line;
  Best.score = ShownLines[0].score;
  Best.Depth = ShownLines[0].depth;
  ExpectedReply = line.length > 1 ? line.moves[1] : TMove{};
}

void TMainThreadSearch::EnsureLegalBest() {
  if (!Best.m.IsNone() && InRootList(*this, Best.m)) return;
  for (auto& helper : SearchThreads)
    if (helper->MaxMoves > 0 && !Best.m.IsNone() && InRootList(*helper, Best.m)) return;
  // A stale or missing move: the most promising move of all root lists.
  TMove choice;
  std::int32_t bestScore = 0;
  auto consider = [&](const TThreadSearch& t) {
    for (int i = 0; i < t.RootMoveCount(); ++i)
      if (choice.IsNone() || t.MoveStack[i].score > bestScore) {
        choice = t.MoveStack[i].m;
        bestScore = t.MoveStack[i].score;
      }
  };
  if (RootMoveCount() == 0) {
    // A "stop" that came before the root moves were listed leaves no list,
    // and the helpers' lists are an earlier search's: list them now. An
    // empty list then means the side to move has no legal move.
    CopyMain();
    PrepareBoard();
    RootInCheck = AnalyseChecks(Side, KingSquare(Side));
    GenerateRootList();
    consider(*this);
  } else {
    consider(*this);
    for (auto& helper : SearchThreads)
      if (helper->MaxMoves > 0) consider(*helper);
  }
  std::lock_guard guard(RootLock);
  Best.m = choice;
  if (choice.IsNone()) Best.pv.length = 0;
  else Best.pv.SetMove(choice);
}
