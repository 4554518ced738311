#include "search/search_team.h"

#include <iterator>
#include <string>
#include <vector>

#include "board/move_text.h"
#include "platform/console.h"
#include "search/main_thread_search.h"
#include "search/search.h"

namespace {

void SwitchLine(const char* tag, std::int32_t id, TMove oldMove, TMove newMove) {
  WriteInfoString(std::string(tag) + std::to_string(id) + " OldMove: " + MoveText(oldMove) +
                  " Move :" + MoveText(newMove));
}

}  // namespace

TSearchTeam::TSearchTeam(TMainThreadSearch& main) : main_(main) {
  for (std::size_t i = 0; i < main.HelperCount(); ++i) helpers_.push_back(&main.Helper(i));
}

bool TSearchTeam::SkipsDepth(std::int32_t threadId, std::uint32_t depth) {
  // Helper k searches runs of Run[k] depths and skips as many, from an
  // offset of Phase[k]: the first helper every other depth, the next ones
  // in pairs and threes, shifted against each other.
  static constexpr std::uint32_t Run[] = {1, 2, 2, 2, 2, 3, 3};
  static constexpr std::uint32_t Phase[] = {1, 0, 1, 2, 3, 0, 1};
  if (threadId <= 1) return false;
  const std::size_t k = std::size_t(threadId - 2) % std::size(Run);
  return (depth + Phase[k]) / Run[k] % 2 != 0;
}

std::uint32_t TSearchTeam::NextDepth(std::int32_t threadId, std::uint32_t depth) {
  while (SkipsDepth(threadId, depth)) ++depth;
  return depth;
}

void TSearchTeam::StartHelpers() {
  const int count = main_.RootMoveCount();
  main_.MaxMoves = count;
  for (TThreadSearch* helper : helpers_) {
    main_.CopyToHelper(*helper);
    // The whole root list, in the main thread's order.
    std::copy_n(main_.MoveStack.begin(), count, helper->MoveStack.begin());
    helper->FirstMove[0] = 0;
    helper->FirstMove[1] = count;
    helper->MaxMoves = count;
    helper->IterationDepth = NextDepth(helper->ThreadID, 1);
    helper->stop = false;
    HashMoveFirst(*helper);
  }
  for (TThreadSearch* helper : helpers_) helper->ResumeHelper();
}

bool TSearchTeam::Overrides(const TBest& other, const TBest& held) {
  if (other.m.IsNone()) return false;
  // A deeper completed iteration is the team's deepest knowledge.
  if (other.CompletedDepth != held.CompletedDepth) return other.CompletedDepth > held.CompletedDepth;
  return other.score > held.score && !(held.Depth > other.Depth && other.score <= held.score + 20);
}

void TSearchTeam::ChooseFinalMove() {
  // The main thread's result, unless a helper completed a deeper iteration,
  // or one as deep with a better score where the result held did not see
  // deeper within 20; helpers are weighed in turn.
  TThreadSearch* candidate = &main_;
  TBest chosen = main_.BestSnapshot();
  for (TThreadSearch* helper : helpers_) {
    const TBest other = helper->BestSnapshot();
    if (!Overrides(other, chosen)) continue;
    SwitchLine("SWITCHBEST: T", helper->ThreadID, chosen.m, other.m);
    candidate = helper;
    chosen = other;
  }
  if (candidate == &main_) return;
  TMove reply;
  {
    std::lock_guard guard(candidate->RootLock);
    reply = candidate->ExpectedReply;
  }
  std::lock_guard guard(main_.RootLock);
  main_.Best = chosen;
  main_.ExpectedReply = reply;
  // Its line goes out once the move is final (TInfos::Final, from Think).
}
