// The clock: slices and deadlines, the TIME BONUS slices, pondering and
// "ponderhit", and the HELP extension with its hand-over between threads.
#include "search/time_manager.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "platform/console.h"
#include "protocol/protocol_board.h"
#include "search/main_thread_search.h"
#include "support/engine_tables.h"

namespace {

constexpr const char* BonusLine = "info string TIME BONUS !! Thread 1\n";

class TimeManager : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
    main.Eval.PhaseAtRoot = middlegame;
  }
  // A new search of `main` at depth 8 on a clock of `t` ms, as Think starts
  // it; a ponder search parks the clock.
  void StartClock(std::uint8_t mode, std::int32_t t, std::int32_t movesToGo, std::int32_t increment = 0,
                  bool ponder = false) {
    TSearchOrder order;
    std::tie(order.TimeMode, order.GoTime, order.ClockAtPonderHit, order.Ponder) =
        std::tuple(mode, ponder ? NoTimeLimit : t, t, ponder);
    order.Level = TLevel{movesToGo, increment};
    clock.TakeOrder(order);
    main.StopPollMask = DefaultCheckupMask;
    main.Best = TBest{};
    main.IterationDepth = 8;
    clock.Start(main);
  }
  std::int64_t Budget() const { return clock.Figures().deadline - clock.StartTick(); }
  std::int64_t Slice() const { return clock.Figures().slice; }
  // A root score drop of `drop`, reported as the root search reports it.
  std::string Drop(std::int32_t drop) {
    OutputCapture capture;
    main.Best.score -= drop;
    clock.TimeBonus(main, main.Best.score + drop, main.Best.score);
    return capture.Text();
  }
  // The first root move's score fell from `previous` to `s`: is HELP granted?
  bool Help(std::int32_t previous, std::int32_t s, bool otherFine = false, bool voice = true) {
    main.Best.PreviousScore = previous;
    return clock.RequestHelp(main, s, otherFine, voice);
  }
  TEngineSettings settings;
  TTimeManager clock{settings};
  TThreadSearch main{1};
};

// Whatever the clock, the increment or the moves to go, the search never
// plans to use more than the clock less the move overhead, and a shorter
// clock is looked at at least as often.
TEST_F(TimeManager, TheBudgetFitsTheClockAndShortClocksAreWatchedClosely) {
  using Shape = std::tuple<std::uint8_t, std::int32_t, std::int32_t>;  // mode, moves to go, increment
  for (const auto& [mode, movesToGo, increment] : {Shape{tmSuddenDeath, 0, 0},
                                                   {tmSuddenDeath, 0, 2000},
                                                   {tmSuddenDeath, 0, NoTimeLimit - 1},
                                                   {tmMovesToGo, 40, 0},
                                                   {tmMovesToGo, 1, 0},
                                                   {tmMovesToGo, 0, 0}}) {
    std::uint32_t lastMask = 0;
    for (std::int32_t t : {0, 90, 200, 1000, 2000, 2001, 4999, 5000, 15000, 15001, 30000, 30001, 59999, 600000}) {
      SCOPED_TRACE(testing::Message() << int(mode) << " " << movesToGo << " " << increment << " " << t);
      StartClock(mode, t, movesToGo, increment);
      EXPECT_TRUE(Budget() <= std::max(0, t - DefaultMoveOverhead) && Budget() > (t > 100 ? 0 : -1));
      EXPECT_EQ(clock.Figures().bonusAllowed, t > 15000);
      EXPECT_TRUE(main.StopPollMask >= lastMask && (t > 2000 || main.StopPollMask == 1u));  // every node at 2 s
      lastMask = main.StopPollMask;
      // The last move before the control leaves the interface 1.5 s.
      EXPECT_TRUE(mode != tmMovesToGo || movesToGo > 1 || t < 5000 || Budget() <= t - 1500);
    }
  }
  // A moves-to-go clock is shared out over the moves; a small increment on
  // a short clock still leaves time to think; the move overhead is kept.
  StartClock(tmMovesToGo, 600000, 40);
  EXPECT_TRUE(Budget() > 600000 / 41 && Budget() <= 600000 / 40);
  StartClock(tmSuddenDeath, 1000, 0, 10);
  EXPECT_GE(Budget(), 5);
  settings.MoveOverhead = 400;
  StartClock(tmSuddenDeath, 1000, 0, 100000);
  EXPECT_EQ(Budget(), 600);
  // Without a clock only a move time ends the search.
  StartClock(tmFixedTime, 1500, 0);
  EXPECT_EQ(Budget(), 1500);
  StartClock(tmFixedDepth, NoTimeLimit, 0);
  EXPECT_EQ(clock.Figures().deadline, NoDeadline);
}

// Drops adding up to 25 earn a slice, twice at most, once the search is
// deep enough for the phase, on a clock whose spare time covers it.
TEST_F(TimeManager, TimeBonusNeedsDropsAddingUpTo25DepthAndSpareTime) {
  StartClock(tmMovesToGo, 120000, 30);
  const std::int64_t slice = Slice();
  for (std::int32_t drop : {10, -5, 0, 10}) Drop(drop);  // the rise starts the count again
  EXPECT_EQ(Drop(14), "");
  EXPECT_EQ(Drop(1), BonusLine);
  EXPECT_TRUE(Budget() == 2 * slice && clock.BonusGranted() && main.Best.PreviousScore == main.Best.score);
  EXPECT_EQ(Drop(40), BonusLine);
  EXPECT_EQ(Drop(40), "");
  EXPECT_EQ(Budget(), 3 * slice);
  using Case = std::tuple<const char*, std::uint8_t, std::int32_t, std::int32_t, TPhase, std::uint32_t, bool>;
  for (const auto& [why, mode, t, movesToGo, phase, depth, granted] :
       {Case{"too shallow", tmMovesToGo, 120000, 30, middlegame, 7, false},
        {"deep enough for an endgame", tmMovesToGo, 120000, 30, endgame, 10, true},
        {"too shallow for an endgame", tmMovesToGo, 120000, 30, endgame, 9, false},
        {"move time", tmFixedTime, 5000, 0, middlegame, 8, false},
        {"short clock", tmSuddenDeath, 15000, 0, middlegame, 8, false},
        {"100 ms spare", tmMovesToGo, 100000, 5, middlegame, 8, false}}) {
    clock.ForgetBonusGranted();
    StartClock(mode, t, movesToGo);
    main.Eval.PhaseAtRoot = phase;
    main.IterationDepth = depth;
    EXPECT_EQ(Drop(50), granted ? BonusLine : "") << why;
    EXPECT_EQ(clock.BonusGranted(), granted) << why;
  }
}

TEST_F(TimeManager, PonderhitGrantsTheSlicesEarnedWhilePonderingAsFarAsTheClockAllows) {
  using Case = std::tuple<std::uint8_t, std::int32_t, std::int32_t, int, int, std::uint32_t>;
  for (const auto& [mode, t, movesToGo, drops, slices, mask] :
       {Case{tmMovesToGo, 120000, 30, 3, 3, DefaultCheckupMask},  // two slices earned at most
        {tmMovesToGo, 100000, 5, 2, 1, DefaultCheckupMask},       // the spare time covers no bonus
        {tmSuddenDeath, 2000, 0, 0, 1, 1}}) {                     // a short clock is watched at every node
    SCOPED_TRACE(t);
    StartClock(mode, t, movesToGo, 0, true);
    const std::int64_t ponderStart = clock.StartTick();
    for (int i = 0; i < drops; ++i) EXPECT_EQ(Drop(30), "");  // counted, not granted: no clock runs yet
    EXPECT_EQ(clock.Figures().deadline, NoDeadline);
    clock.PonderHit(main);
    // The time spent pondering counts; a search starting only now, after
    // the ponderhit, neither parks the clock again nor restarts it.
    EXPECT_TRUE(!clock.Pondering() && clock.StartTick() == ponderStart);
    EXPECT_TRUE(Budget() == slices * Slice() && main.StopPollMask == mask);
    clock.Start(main);
    EXPECT_EQ(Budget(), slices * Slice());
  }
}

TEST_F(TimeManager, HelpAddsSevenSlicesOrTheSpareTimeAndEndingItTakesThemBack) {
  StartClock(tmMovesToGo, 120000, 30);
  const std::int64_t slice = Slice();
  main.Best.score = 20;
  OutputCapture capture;
  EXPECT_TRUE(Help(20, -15));
  EXPECT_TRUE(clock.HelpActive() && clock.HelpDepth() == 8 && clock.HelpThread() == 1);
  EXPECT_EQ(Budget(), 9 * slice);  // the bonus slice, then seven more
  EXPECT_FALSE(Help(20, -50));     // one HELP at a time
  clock.EndHelpWait();
  clock.EndHelpWait();  // nothing left to end
  EXPECT_EQ(capture.Text(), std::string(BonusLine) + "info string HELP !!\ninfo string EndHelpWait\n");
  EXPECT_TRUE(!clock.HelpActive() && Budget() == 2 * slice);
  // Seven slices would reach into the reserve: the spare time is taken instead.
  StartClock(tmMovesToGo, 59000, 10);
  EXPECT_TRUE(Help(20, -15));
  EXPECT_EQ(Budget(), 2 * Slice() + clock.Figures().spare);
}

TEST_F(TimeManager, HelpIsAskedOnlyForACollapseSeenByTheReportingThread) {
  // "granted" sits on both thresholds at once: a drop of exactly 30 to 0.
  using Case = std::tuple<const char*, std::int32_t, std::int32_t, bool, bool, std::uint32_t>;
  for (const auto& [why, previous, s, otherFine, voice, depth] :
       {Case{"granted", 30, 0, false, true, 8},
        {"granted from -149", -149, -180, false, true, 8},
        {"score still positive", 40, 1, false, true, 8},
        {"already behind", -150, -190, false, true, 8},
        {"drop of 29", 20, -9, false, true, 8},
        {"score rose", -40, -5, false, true, 8},
        {"another thread has the voice", 20, -15, false, false, 8},
        {"another thread is fine", 20, -15, true, true, 8},
        {"too shallow", 20, -15, false, true, 7}}) {
    StartClock(tmMovesToGo, 120000, 30);
    main.IterationDepth = depth;
    const std::int64_t budget = Budget();
    OutputCapture capture;
    const bool granted = Help(previous, s, otherFine, voice);
    EXPECT_TRUE(granted == std::string(why).starts_with("granted") && clock.HelpActive() == granted) << why;
    EXPECT_EQ(Budget() == budget, !granted) << why;
    clock.EndHelpWait();
  }
  // Neither while pondering, nor on a move time, nor on a short clock.
  for (const auto& [mode, t, ponder] :
       {std::tuple{tmMovesToGo, 120000, true}, {tmFixedTime, 120000, false}, {tmSuddenDeath, 15000, false}}) {
    StartClock(mode, t, 30, 0, ponder);
    EXPECT_FALSE(Help(20, -15)) << int(mode) << " " << t;
  }
}

TEST_F(TimeManager, HelpIsHandedToAThreadAtTheSameDepthOrEnds) {
  settings.HashMB = 3;
  settings.Threads = 3;  // the main thread and two helpers
  TProtocolBoard board;
  OutputCapture quiet;
  TMainThreadSearch search(board, settings);
  TTimeManager& help = search.Clock;
  const auto thread = [&](std::int32_t id) -> TThreadSearch& { return id == 1 ? search : search.Helper(id - 2); };
  TSearchOrder order;
  std::tie(order.TimeMode, order.GoTime, order.Level.MovesToGo) = std::tuple(tmMovesToGo, 120000, 30);
  search.TakeOrder(order);
  // Owner, the three threads' depths, the thread returning, the next owner (0: it ends).
  using Case = std::tuple<std::int32_t, std::array<std::uint32_t, 3>, std::int32_t, std::int32_t>;
  for (const auto& [owner, depths, returning, next] :
       {Case{1, {8, 8, 8}, 1, 2},
        {3, {8, 8, 8}, 3, 1},  // a helper gives it to the main thread first
        {2, {9, 9, 8}, 2, 3},
        {1, {8, 9, 8}, 1, 0},     // the main thread hands over to helper 2 only
        {2, {8, 8, 8}, 3, 2}}) {  // not the owner: nothing happens
    SCOPED_TRACE(testing::Message() << "owner " << owner << " returning " << returning);
    search.Clock.Start(search);
    const std::int64_t deadline = help.Figures().deadline;
    TThreadSearch& asking = thread(owner);
    asking.IterationDepth = 8;
    asking.Eval.PhaseAtRoot = middlegame;
    asking.ResetBest();
    asking.Best.PreviousScore = 20;
    ASSERT_TRUE(help.RequestHelp(asking, -15, false, true));
    for (std::int32_t id : {1, 2, 3}) thread(id).IterationDepth = depths[id - 1];
    OutputCapture capture;
    help.PassHelpOn(search, thread(returning));
    EXPECT_TRUE(help.HelpThread() == next && help.HelpActive() == (next != 0));
    // Ended, it leaves the deadline with the bonus slice the collapse earned.
    EXPECT_EQ(help.Figures().deadline == deadline + help.Figures().slice, next == 0);
    EXPECT_EQ(capture.Text(), next != 0 ? "" : "info string EndHelpWait\n");
    help.EndHelpWait();
  }
}

}  // namespace
