#include "search/thread_search.h"

#include <algorithm>

#include "search/main_thread_search.h"
#include "search/search.h"
#include "search/search_team.h"

TThreadSearch::TThreadSearch(std::int32_t id) : ThreadID(id) {
  if (id > 1) worker_ = std::make_unique<TWorker>([this] { Execute(); });
}

TThreadSearch::~TThreadSearch() {
  if (worker_) {
    RequestStop();
    worker_.reset();
  }
}

void TThreadSearch::CheckStop() {
  if (stop.load(std::memory_order_relaxed)) throw SearchAborted{};
}

void TThreadSearch::ResumeHelper() {
  if (worker_) worker_->Resume();
}

void TThreadSearch::RequestStop() {
  StopPollMask = 1;
  stop = true;
}

void TThreadSearch::WaitIdle() {
  if (worker_) worker_->WaitIdle();
}

bool TThreadSearch::Idle() const { return !worker_ || worker_->IsIdle(); }

bool TThreadSearch::OtherThreadScoreNotNegative() const {
  const TMainThreadSearch* main = Owner;
  if (!main) return false;
  // A thread that has no move yet holds no score.
  const auto notNegative = [](const TThreadSearch& other) {
    const TBest best = other.BestSnapshot();
    return !best.m.IsNone() && best.score >= 0;
  };
  if (ThreadID != 1 && notNegative(*main)) return true;
  for (std::size_t i = 0; i < main->HelperCount(); ++i) {
    const TThreadSearch& other = main->Helper(i);
    if (&other != this && notNegative(other)) return true;
  }
  return false;
}

void TThreadSearch::Execute() {
  if (!stop) RunAbortable([this] { IterativeDeepening(); });
  IterationDepth = IdleDepth;
}

void TThreadSearch::IterativeDeepening() {
  TMainThreadSearch& main = *Owner;
  TTimeManager& clock = main.Clock;
  while (std::int64_t(IterationDepth.load()) <= std::int64_t(main.MaxDepth())) {
    // A HELP period ends once its depth has been searched past; after an
    // iteration its owner hands it to a thread at the same depth, or ends it.
    const bool helpOwner = clock.HelpActive() && clock.HelpThread() == ThreadID;
    if (helpOwner && IterationDepth > std::uint32_t(clock.HelpDepth())) clock.EndHelpWait();
    ThreadScore = RootSearch(*this, RootAlpha, RootBeta);
    if (clock.HelpActive() && clock.HelpThread() == ThreadID) clock.PassHelpOn(main, *this);
    // The root entry keeps a move for the ponder line and the next search.
    TransTable->KeepRootMove(hash, Best.m);
    // A result inside the window completes the depth: its line goes out now,
    // before the search may end on it.
    // (An EASY stop ends it after its first move, unfinished.)
    const bool completed = IterationCompleted(*this);
    if (completed) {
      std::lock_guard guard(RootLock);
      Best.CompletedDepth = IterationDepth;
    }
    if (this == &main && completed && !main.SearchStopped.load(std::memory_order_relaxed)) {
      if (RootLines.Wanted() > 1) ShownLines = RootLines;
      main.Infos.IterationDone(*this, std::int32_t(IterationDepth.load()), ThreadScore);
    }
    // A helper that completed the last depth the order asks for has done
    // what the search was for: the team stops, and its result is chosen.
    if (this != &main && completed && std::int64_t(IterationDepth.load()) >= std::int64_t(main.MaxDepth()) &&
        RootLines.Wanted() == 1 && main.RootLines.Wanted() == 1)
      main.SearchStopped = true;
    // A mate found: no deeper search can better it.
    if (ThreadScore > MateBound) throw SearchAborted{};
    CheckStop();
    if (!AdvanceIteration(*this)) continue;
    // A helper that fell behind the main thread goes on from the depth the
    // main thread is searching: the table already holds what lies below.
    const std::uint32_t from =
        this == &main ? IterationDepth.load() : std::max(IterationDepth.load(), main.IterationDepth.load());
    IterationDepth = TSearchTeam::NextDepth(ThreadID, from);
    CheckStop();
  }
}
