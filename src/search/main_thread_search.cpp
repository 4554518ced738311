#include "search/main_thread_search.h"

#include "platform/console.h"
#include "platform/system.h"
#include "board/move_text.h"

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
  to.EP = from.EP;
  to.HalfmoveClock = from.HalfmoveClock;
  to.hash = from.hash;
  to.Ply = from.Ply;
  to.HistoryLength = from.HistoryLength;
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
  TransTable = std::make_unique<TTranspositionTable>(share);
  PawnHash = std::make_unique<TPawnHash>(share);
  for (std::int32_t id = 2; id <= Settings.Threads; ++id) {
    auto helper = std::make_unique<TThreadSearch>(id);
    helper->Owner = this;
    helper->Tablebases = &EGTB;
    helper->TransTable = std::make_unique<TTranspositionTable>(share);
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
  bool sized = PawnHash->Resize(share) && TransTable->Resize(share);
  for (auto& helper : SearchThreads)
    sized = helper->PawnHash->Resize(share) && helper->TransTable->Resize(share) && sized;
  if (!sized)
    WriteString("info string not enough memory for " + std::to_string(newsize) +
                " MB of hash tables: the previous tables are kept");
}

void TMainThreadSearch::ClearAllTables() {
  TransTable->Clear();
  PawnHash->Clear();
  for (auto& helper : SearchThreads) {
    helper->TransTable->Clear();
    helper->PawnHash->Clear();
  }
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
