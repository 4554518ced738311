#include "search/main_thread_search.h"

#include "platform/console.h"
#include "platform/system.h"
#include "board/move_text.h"
#include "search/control.h"
#include "search/time_control.h"

namespace {

// The position and its game history; the move stack is not copied, the
// search generates its own root moves.
void CopyPosition(const TBoardState& from, TBoardState& to) {
  to.Color = from.Color;
  to.Piece = from.Piece;
  to.Hist_dat = from.Hist_dat;
  to.Side = from.Side;
  to.XSide = from.XSide;
  to.Castle = from.Castle;
  to.EP = from.EP;
  to.Fifty = from.Fifty;
  to.hash = from.hash;
  to.Ply = from.Ply;
  to.Hply = from.Hply;
}

}  // namespace

TMainThreadSearch::TMainThreadSearch(const TBoardState& source)
    : TThreadSearch(1), Source(source), BOOK(this) {
  Owner = this;
  EGTB.FirstInit();
  CreateThreads();
  worker_ = std::make_unique<Worker>([this] { Execute(); });
}

TMainThreadSearch::~TMainThreadSearch() {
  worker_.reset();
  AllThreadsNil();
}

void TMainThreadSearch::CreateThreads() {
  tablesEmpty_ = false;
  const std::int32_t share = HashSizeMB / ThreadsCount;
  HashClass = std::make_unique<THashClass>(share);
  PawnHash = std::make_unique<TPawnHash>(share);
  for (std::int32_t id = 2; id <= ThreadsCount; ++id) {
    auto helper = std::make_unique<TThreadSearch>(id);
    helper->Owner = this;
    helper->HashClass = std::make_unique<THashClass>(share);
    helper->PawnHash = std::make_unique<TPawnHash>(share);
    helper->EGTB.ProbEGTB = EGTB.ProbEGTB.load();
    TabThreadSearch.push_back(std::move(helper));
  }
}

void TMainThreadSearch::AllThreadsNil() {
  for (auto& helper : TabThreadSearch) helper->RequestStop();
  TabThreadSearch.clear();  // each helper's destructor waits for its thread
}

void TMainThreadSearch::InitHashClass(std::int32_t newsize) {
  HashSizeMB = newsize;
  tablesEmpty_ = false;
  const std::int32_t share = newsize / ThreadsCount;
  // Each table is built before its old one goes: running out of memory
  // leaves the tables that could not be had as they were.
  bool sized = PawnHash->init_size(share) && HashClass->init_size(share);
  for (auto& helper : TabThreadSearch)
    sized = helper->PawnHash->init_size(share) && helper->HashClass->init_size(share) && sized;
  if (!sized)
    writeString("info string not enough memory for " + std::to_string(newsize) +
                " MB of hash tables: the previous tables are kept");
}

void TMainThreadSearch::VideAllHash() {
  HashClass->videHash();
  PawnHash->Clear();
  for (auto& helper : TabThreadSearch) {
    helper->HashClass->videHash();
    helper->PawnHash->Clear();
  }
  tablesEmpty_ = true;
}

void TMainThreadSearch::ShareTablebases() {
  for (auto& helper : TabThreadSearch) helper->EGTB.ProbEGTB = EGTB.ProbEGTB.load();
}

void TMainThreadSearch::CopyMain() {
  ThreadScore = NoScore;
  CopyPosition(Source, *this);
}

void TMainThreadSearch::CopyToHelper(TThreadSearch& helper) {
  helper.ThreadScore = NoScore;
  // Each search counts its own nodes and finds its own stored move; a
  // helper dealt no move this time must not carry the last search's.
  helper.Nodes = 0;
  helper.couptrouve = false;
  CopyPosition(*this, helper);
  helper.hashP = hashP;
  helper.Eval.PhaseDepart = Eval.PhaseDepart;
  helper.ALPHA_ROOT = ALPHA_ROOT;
  helper.BETA_ROOT = BETA_ROOT;
  helper.PROF = PROF.load();
  helper.PrepareBoard();
  helper.Checkup_mask = DefaultCheckupMask;
}

void TMainThreadSearch::StopHelpers() {
  for (auto& helper : TabThreadSearch)
    if (!helper->Idle()) helper->RequestStop();
  for (auto& helper : TabThreadSearch) helper->WaitIdle();
}

void TMainThreadSearch::CheckStop() {
  const std::uint32_t nodeLimit = NodeLimit.load(std::memory_order_relaxed);
  if (SearchStopped.load(std::memory_order_relaxed) || Ticks() >= Deadline.load(std::memory_order_relaxed) ||
      (nodeLimit != 0 && Nodes >= nodeLimit)) {
    SearchStopped = true;
    throw SearchAborted{};
  }
}

void TMainThreadSearch::Execute() {
  computer_think = true;
  CopyMain();
  CoupAttendu = TMove{};
  Think();
  computer_think = false;
  if (output_) output_(Best.m, CoupAttendu);
}
