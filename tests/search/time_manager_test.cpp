// The clock: slices and deadlines, the TIME BONUS slices, pondering and
// "ponderhit", and the HELP extension with its hand-over between threads.
#include <gtest/gtest.h>

#include <functional>

#include "platform/console.h"
#include "protocol/protocol_board.h"
#include "search/main_thread_search.h"
#include "search/time_manager.h"
#include "support/engine_tables.h"

namespace {

class TimeManager : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
    main.IterationDepth = 8;
    main.Eval.PhaseAtRoot = middlegame;
  }
  // A new search on a clock of `t` ms, as Think starts it; a ponder search
  // parks the clock.
  void StartClock(std::uint8_t mode, std::int32_t t, std::int32_t movesToGo, std::int32_t increment = 0,
                  bool ponder = false) {
    TSearchOrder order;
    order.TimeMode = mode;
    order.GoTime = ponder ? NoTimeLimit : t;
    order.ClockAtPonderHit = t;
    order.Ponder = ponder;
    order.Level = TLevel{movesToGo, increment};
    clock.TakeOrder(order);
    main.StopPollMask = DefaultCheckupMask;
    main.Best = TBest{};
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
  TEngineSettings settings;
  TTimeManager clock{settings};
  TThreadSearch main{1};
};

constexpr const char* BonusLine = "info string TIME BONUS !! Thread 1\n";

// Whatever the clock, the increment or the moves to go, the search never
// plans to use more than the clock less the move overhead, and a shorter
// clock is looked at at least as often.
TEST_F(TimeManager, TheBudgetFitsTheClockAndShortClocksAreWatchedClosely) {
  struct Case {
    std::uint8_t mode;
    std::int32_t movesToGo, increment;
  };
  const Case shapes[] = {{tmSuddenDeath, 0, 0}, {tmSuddenDeath, 0, 2000}, {tmSuddenDeath, 0, NoTimeLimit - 1},
                         {tmMovesToGo, 40, 0},  {tmMovesToGo, 1, 0},      {tmMovesToGo, 0, 0}};
  for (const Case& c : shapes) {
    std::uint32_t lastMask = 0;
    for (std::int32_t t : {0, 90, 200, 1000, 2000, 2001, 4999, 5000, 15000, 15001, 30000, 30001, 59999, 600000}) {
      SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.movesToGo << " " << c.increment << " " << t);
      StartClock(c.mode, t, c.movesToGo, c.increment);
      EXPECT_LE(Budget(), std::max(0, t - DefaultMoveOverhead));
      EXPECT_GT(Budget(), t > 100 ? 0 : -1);
      const TClockFigures f = clock.Figures();
      EXPECT_EQ(f.bonusAllowed, t > 15000);
      if (t <= 2000) {
        EXPECT_EQ(main.StopPollMask, 1u);  // every node
      }
      EXPECT_GE(main.StopPollMask.load(), lastMask);
      lastMask = main.StopPollMask;
      // The last move before the control leaves the interface 1.5 s.
      if (c.mode == tmMovesToGo && c.movesToGo <= 1 && t >= 5000) { EXPECT_LE(Budget(), t - 1500); }
    }
  }
  // A moves-to-go clock is shared out over the moves; sudden death keeps a
  // reserve; a small increment on a short clock still leaves time to think.
  StartClock(tmMovesToGo, 600000, 40);
  EXPECT_TRUE(Budget() > 600000 / 41 && Budget() <= 600000 / 40);
  StartClock(tmSuddenDeath, 1000, 0, 10);
  EXPECT_GE(Budget(), 5);
  // The move overhead is what the interface needs to pass the move on.
  settings.MoveOverhead = 400;
  StartClock(tmSuddenDeath, 1000, 0, 100000);
  EXPECT_EQ(Budget(), 600);
  // Without a clock only a move time ends the search.
  StartClock(tmFixedTime, 1500, 0);
  EXPECT_EQ(Budget(), 1500);
  StartClock(tmFixedDepth, NoTimeLimit, 0);
  EXPECT_EQ(clock.Figures().deadline, NoDeadline);
}

TEST_F(TimeManager, TimeBonusNeedsDropsAddingUpTo25AndComesTwiceAtMost) {
  StartClock(tmMovesToGo, 120000, 30);
  const std::int64_t slice = Slice();
  for (std::int32_t drop : {10, -5, 0, 10}) Drop(drop);  // the rise starts the count again
  EXPECT_EQ(Drop(14), "");
  EXPECT_EQ(Budget(), slice);
  EXPECT_EQ(Drop(1), BonusLine);
  EXPECT_EQ(Budget(), 2 * slice);
  EXPECT_TRUE(clock.BonusGranted());
  EXPECT_EQ(main.Best.PreviousScore, main.Best.score);
  EXPECT_EQ(Drop(40), BonusLine);
  EXPECT_EQ(Drop(40), "");
  EXPECT_EQ(Budget(), 3 * slice);
}

TEST_F(TimeManager, TimeBonusWaitsForDepthAClockAndSpareTime) {
  struct Case {
    const char* why;
    std::uint8_t mode;
    std::int32_t t, movesToGo;
    TPhase phase;
    std::uint32_t depth;
    bool granted;
  };
  const Case cases[] = {
      {"deep enough", tmMovesToGo, 120000, 30, middlegame, 8, true},
      {"too shallow", tmMovesToGo, 120000, 30, middlegame, 7, false},
      {"deep enough for an endgame", tmMovesToGo, 120000, 30, endgame, 10, true},
      {"too shallow for an endgame", tmMovesToGo, 120000, 30, endgame, 9, false},
      {"move time", tmFixedTime, 5000, 0, middlegame, 8, false},
      {"short clock", tmSuddenDeath, 15000, 0, middlegame, 8, false},
      {"100 ms spare", tmMovesToGo, 100000, 5, middlegame, 8, false},
  };
  for (const Case& c : cases) {
    clock.ForgetBonusGranted();
    StartClock(c.mode, c.t, c.movesToGo);
    main.Eval.PhaseAtRoot = c.phase;
    main.IterationDepth = c.depth;
    EXPECT_EQ(Drop(50), c.granted ? BonusLine : "") << c.why;
    EXPECT_EQ(clock.BonusGranted(), c.granted) << c.why;
  }
}

TEST_F(TimeManager, PonderhitGrantsTheSlicesEarnedWhilePonderingAsFarAsTheClockAllows) {
  struct Case {
    std::uint8_t mode;
    std::int32_t t, movesToGo, drops, slices;
    std::uint32_t mask;
  };
  const Case cases[] = {
      {tmMovesToGo, 120000, 30, 3, 3, DefaultCheckupMask},  // two slices earned at most
      {tmMovesToGo, 100000, 5, 2, 1, DefaultCheckupMask},   // the spare time covers no bonus
      {tmSuddenDeath, 2000, 0, 0, 1, 1},                    // a short clock is watched at every node
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    StartClock(c.mode, c.t, c.movesToGo, 0, true);
    const std::int64_t ponderStart = clock.StartTick();
    for (int i = 0; i < c.drops; ++i) EXPECT_EQ(Drop(30), "");  // counted, not granted: no clock runs yet
    EXPECT_EQ(clock.Figures().deadline, NoDeadline);
    clock.PonderHit(main);
    EXPECT_FALSE(clock.Pondering());
    EXPECT_EQ(clock.StartTick(), ponderStart);  // the time spent pondering counts
    EXPECT_TRUE(Budget() == c.slices * Slice() && main.StopPollMask == c.mask);
    // A search starting only now, after the ponderhit, must not park the
    // clock again nor restart it.
    const std::int64_t budget = Budget();
    clock.Start(main);
    EXPECT_EQ(Budget(), budget);
  }
}

TEST_F(TimeManager, HelpAddsSevenSlicesOrTheSpareTimeAndEndingItTakesThemBack) {
  StartClock(tmMovesToGo, 120000, 30);
  const std::int64_t slice = Slice();
  main.Best.score = main.Best.PreviousScore = 20;
  OutputCapture capture;
  EXPECT_TRUE(clock.RequestHelp(main, -15, false, true));
  EXPECT_EQ(capture.Text(), std::string(BonusLine) + "info string HELP !!\n");
  EXPECT_TRUE(clock.HelpActive() && clock.HelpDepth() == 8 && clock.HelpThread() == 1);
  EXPECT_EQ(Budget(), 9 * slice);                           // the bonus slice, then seven more
  EXPECT_FALSE(clock.RequestHelp(main, -50, false, true));  // one HELP at a time
  clock.EndHelpWait();
  clock.EndHelpWait();  // nothing left to end
  EXPECT_EQ(capture.Text(), std::string(BonusLine) + "info string HELP !!\ninfo string EndHelpWait\n");
  EXPECT_FALSE(clock.HelpActive());
  EXPECT_EQ(Budget(), 2 * slice);
  // Seven slices would reach into the reserve: the spare time is taken instead.
  StartClock(tmMovesToGo, 59000, 10);
  main.Best.PreviousScore = 20;
  EXPECT_TRUE(clock.RequestHelp(main, -15, false, true));
  EXPECT_EQ(Budget(), 2 * Slice() + clock.Figures().spare);
}

TEST_F(TimeManager, HelpIsAskedOnlyForACollapseSeenByTheReportingThread) {
  struct Case {
    const char* why;
    std::int32_t previous, s;
    bool otherFine, voice = true;
    std::function<void()> change = [] {};
  };
  // "granted" sits on both thresholds at once: a drop of exactly 30 to 0.
  const Case cases[] = {
      {"granted", 30, 0, false},
      {"granted from -149", -149, -180, false},
      {"score still positive", 40, 1, false},
      {"already behind", -150, -190, false},
      {"drop of 29", 20, -9, false},
      {"score rose", -40, -5, false},
      {"another thread has the voice", 20, -15, false, false},
      {"another thread is fine", 20, -15, true},
      {"too shallow", 20, -15, false, true, [this] { main.IterationDepth = 7; }},
  };
  for (const Case& c : cases) {
    main.IterationDepth = 8;
    StartClock(tmMovesToGo, 120000, 30);
    main.Best.PreviousScore = c.previous;
    c.change();
    const std::int64_t budget = Budget();
    OutputCapture capture;
    const bool granted = clock.RequestHelp(main, c.s, c.otherFine, c.voice);
    EXPECT_EQ(granted, std::string(c.why).starts_with("granted")) << c.why;
    EXPECT_EQ(clock.HelpActive(), granted) << c.why;
    EXPECT_EQ(Budget() == budget, !granted) << c.why;
    clock.EndHelpWait();
  }
  // Neither while pondering, nor on a move time, nor on a short clock.
  for (const auto& [mode, t, ponder] :
       {std::tuple{tmMovesToGo, 120000, true}, {tmFixedTime, 120000, false}, {tmSuddenDeath, 15000, false}}) {
    StartClock(mode, t, 30, 0, ponder);
    main.Best.PreviousScore = 20;
    EXPECT_FALSE(clock.RequestHelp(main, -15, false, true)) << int(mode) << " " << t;
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
  struct Case {
    std::int32_t owner;
    std::uint32_t depths[3];
    std::int32_t returning, next;
  };  // next 0: it ends
  const Case cases[] = {
      {1, {8, 8, 8}, 1, 2}, {3, {8, 8, 8}, 3, 1},  // a helper gives it to the main thread first
      {2, {9, 9, 8}, 2, 3}, {1, {8, 9, 8}, 1, 0},  // the main thread hands over to helper 2 only
      {2, {8, 8, 8}, 3, 2},                        // not the owner: nothing happens
  };
  for (const Case& c : cases) {
    TSearchOrder order;
    order.TimeMode = tmMovesToGo;
    order.GoTime = 120000;
    order.Level.MovesToGo = 30;
    search.TakeOrder(order);
    search.Clock.Start(search);
    const std::int64_t deadline = help.Figures().deadline;
    TThreadSearch& owner = thread(c.owner);
    owner.IterationDepth = 8;
    owner.Eval.PhaseAtRoot = middlegame;
    owner.ResetBest();
    owner.Best.PreviousScore = 20;
    ASSERT_TRUE(help.RequestHelp(owner, -15, false, true));
    for (std::int32_t id : {1, 2, 3}) thread(id).IterationDepth = c.depths[id - 1];
    OutputCapture capture;
    help.PassHelpOn(search, thread(c.returning));
    SCOPED_TRACE(testing::Message() << "owner " << c.owner << " returning " << c.returning);
    EXPECT_EQ(help.HelpThread(), c.next);
    EXPECT_EQ(help.HelpActive(), c.next != 0);
    EXPECT_EQ(help.Figures().deadline == deadline + help.Figures().slice, c.next == 0);  // only the bonus slice left
    EXPECT_EQ(capture.Text(), c.next != 0 ? "" : "info string EndHelpWait\n");
    help.EndHelpWait();
  }
}

}  // namespace
