// The clock: slices and deadlines, the TIME BONUS slices, pondering and
// "ponderhit", and the HELP extension with its hand-over between threads.
#include <gtest/gtest.h>

#include <functional>

#include "platform/console.h"
#include "platform/system.h"
#include "protocol/protocol_board.h"
#include "search/control.h"
#include "search/infos.h"
#include "search/main_thread_search.h"
#include "search/time_manager.h"
#include "support/engine_tables.h"

namespace {

class TimeManager : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
    TTime::InitAll();
    TTime::Init();
    Pondering = false;
    BonusCount = 0;
    BonusGranted = false;
    InfoThread = 1;
    main.PROF = 8;
    main.Eval.PhaseDepart = middlegame;
  }
  void TearDown() override {
    TTime::InitAll();
    TTime::Init();
    TimeMode = tmFixedDepth;
    Pondering = false;
    InfoThread = 0;
  }

  // A new search on a clock of `t` ms, as Think starts it.
  void StartClock(std::uint8_t mode, std::int32_t t, std::int32_t movesToGo, std::int32_t increment = 0) {
    TimeMode = mode;
    level = TLevel{movesToGo, 0, 0, increment};
    main.Checkup_mask = DefaultCheckupMask;
    InitTime(main, t, level, false, false);
  }
  // A new ponder search on that clock; the clock itself is parked.
  void StartPonder(std::uint8_t mode, std::int32_t movesToGo) {
    TimeMode = mode;
    level = TLevel{movesToGo, 0, 0, 0};
    Pondering = true;
    InitTime(main, NoTimeLimit, level, true, false);
  }
  std::int64_t Budget() const { return Deadline - StartTick; }
  // A root score drop of `drop`, reported as Think reports it.
  std::string Drop(std::int32_t drop) {
    OutputCapture capture;
    main.Best.score -= drop;
    TimeBonus(main, main.Best.score + drop, main.Best.score);
    return capture.Text();
  }

  TThreadSearch main{1};
  TLevel level;
};

TEST_F(TimeManager, SliceReserveAndDeadlineOnAClock) {
  StartClock(tmMovesToGo, 120000, 30);
  EXPECT_EQ(TimeSlice, 3996);
  EXPECT_EQ(SpareTime, 120000 - 5 * 3996);
  EXPECT_EQ(Budget(), 3996);
  EXPECT_EQ(TimeAllotted, 3996);
  EXPECT_EQ(BonusCount, 0);
  EXPECT_TRUE(BonusAllowed);
  EXPECT_EQ(main.Checkup_mask, DefaultCheckupMask);
  EXPECT_EQ(ClockLimit - StartTick, 120000 - 50);

  StartClock(tmSuddenDeath, 300000, 0, 2000);
  EXPECT_EQ(TimeSlice, 11900);
  EXPECT_EQ(Budget(), 11900);

  StartClock(tmSuddenDeath, 400000, 0);
  EXPECT_EQ(TimeSlice, 10000);

  // Three slices in reserve on a long clock, seven on a short one.
  StartClock(tmMovesToGo, 600000, 40);
  EXPECT_EQ(SpareTime, 600000 - 3 * 14997);
  StartClock(tmSuddenDeath, 59999, 0);
  EXPECT_EQ(SpareTime, 59999 - 7 * 1499);
}

TEST_F(TimeManager, TheDeadlineStaysInsideTheClock) {
  // 200 ms left with a 1 s increment: the slice (906 ms) is more than the
  // clock holds, so the clock less 5 % bounds the move.
  StartClock(tmSuddenDeath, 200, 0, 1000);
  EXPECT_EQ(TimeSlice, 906);
  EXPECT_EQ(Budget(), 190);
  StartClock(tmSuddenDeath, 2000, 0, 3000);
  EXPECT_EQ(Budget(), 1950);

  // The last move before the control: the whole clock less 100 ms and 1.5 s.
  StartClock(tmMovesToGo, 10000, 1);
  EXPECT_EQ(Budget(), 10000 - 100 - 1500);
  EXPECT_EQ(main.Checkup_mask, 1023u);
  StartClock(tmMovesToGo, 4999, 1);
  EXPECT_EQ(Budget(), 4999 - 100);

  // "movestogo 0" is read as the last move, not divided by.
  StartClock(tmMovesToGo, 10000, 0);
  EXPECT_EQ(TimeSlice, 9900);
  EXPECT_EQ(Budget(), 8400);

  // A flagged clock stops the search at once.
  StartClock(tmSuddenDeath, 0, 0, 0);
  EXPECT_LE(Budget(), 0);
}

TEST_F(TimeManager, ShortClocksCheckOftenerAndForbidExtraTime) {
  struct Case {
    std::uint8_t mode;
    std::int32_t t;
    std::uint32_t mask;
    bool helpAllowed;
    std::int32_t bonusCount;
  };
  const Case cases[] = {
      {tmMovesToGo, 15001, DefaultCheckupMask, true, 0},
      {tmMovesToGo, 15000, 1023, false, 0},  // with moves to go a bonus stays possible
      {tmMovesToGo, 2001, 1023, false, 0},
      {tmMovesToGo, 2000, 1, false, 0},
      {tmSuddenDeath, 30001, DefaultCheckupMask, true, 0},
      {tmSuddenDeath, 30000, 1023, true, 0},
      {tmSuddenDeath, 15000, 1023, false, 99},
      {tmSuddenDeath, 2000, 1, false, 99},
  };
  for (const Case& c : cases) {
    StartClock(c.mode, c.t, 40);
    EXPECT_EQ(main.Checkup_mask, c.mask) << int(c.mode) << " " << c.t;
    EXPECT_EQ(BonusAllowed, c.helpAllowed) << int(c.mode) << " " << c.t;
    EXPECT_EQ(BonusCount, c.bonusCount) << int(c.mode) << " " << c.t;
  }
}

TEST_F(TimeManager, WithoutAClockOnlyAMoveTimeEndsTheSearch) {
  StartClock(tmFixedTime, 1500, 0);
  EXPECT_EQ(Budget(), 1500);
  StartClock(tmFixedDepth, NoTimeLimit, 0);
  EXPECT_EQ(Deadline, NoDeadline);

  // A ponder search waits for "ponderhit", whatever the order's limit.
  StartPonder(tmFixedTime, 0);
  EXPECT_EQ(Deadline, NoDeadline);
}

TEST_F(TimeManager, TimeBonusNeedsDropsAddingUpTo25) {
  StartClock(tmMovesToGo, 120000, 30);
  main.Best.score = 0;
  EXPECT_EQ(Drop(10), "");
  EXPECT_EQ(main.Best.plafondBonus, 10);
  Drop(-5);  // a rise starts the count again
  EXPECT_EQ(main.Best.plafondBonus, 0);
  Drop(0);
  Drop(10);
  EXPECT_EQ(Drop(14), "");
  EXPECT_EQ(Budget(), 3996);

  EXPECT_EQ(Drop(1), "TIME BONUS !! Thread 1\n");
  EXPECT_EQ(BonusCount, 1);
  EXPECT_EQ(Budget(), 2 * 3996);
  EXPECT_EQ(TimeAllotted, 2 * 3996);
  EXPECT_TRUE(BonusGranted);
  EXPECT_EQ(main.Best.plafondBonus, 0);
  EXPECT_EQ(main.Best.ancienscore, main.Best.score);

  EXPECT_EQ(Drop(40), "TIME BONUS !! Thread 1\n");
  EXPECT_EQ(Budget(), 3 * 3996);
  EXPECT_EQ(Drop(40), "");  // two bonus slices at most
  EXPECT_EQ(Budget(), 3 * 3996);
}

TEST_F(TimeManager, TimeBonusWaitsForDepthAClockAndSpareTime) {
  StartClock(tmMovesToGo, 120000, 30);
  main.PROF = 7;
  EXPECT_EQ(Drop(50), "");
  main.Eval.PhaseDepart = endgame;
  main.PROF = 9;
  EXPECT_EQ(Drop(50), "");
  main.PROF = 10;
  EXPECT_EQ(Drop(50), "TIME BONUS !! Thread 1\n");

  main.Eval.PhaseDepart = middlegame;
  BonusGranted = false;
  StartClock(tmFixedTime, 5000, 0);
  EXPECT_EQ(Drop(50), "");
  StartClock(tmSuddenDeath, 15000, 0);
  EXPECT_EQ(Drop(50), "");
  // Five moves in 100 s: the reserve leaves 100 ms to spare.
  StartClock(tmMovesToGo, 100000, 5);
  EXPECT_EQ(Drop(50), "");
  EXPECT_FALSE(BonusGranted);
}

TEST_F(TimeManager, PonderhitGrantsTheSlicesEarnedWhilePondering) {
  StartPonder(tmMovesToGo, 30);
  const std::int64_t ponderStart = StartTick;
  EXPECT_EQ(Drop(30), "");  // counted, not granted: no clock runs yet
  Drop(30);
  Drop(30);
  EXPECT_EQ(BonusCount, 2);
  EXPECT_EQ(Deadline, NoDeadline);

  PonderHitTime(main, 120000, level);
  EXPECT_FALSE(Pondering);
  EXPECT_EQ(StartTick, ponderStart);  // the time spent pondering counts
  EXPECT_EQ(TimeAllotted, 3 * 3996);
  EXPECT_EQ(Budget(), 3 * 3996);
}

TEST_F(TimeManager, PonderhitGrantsNoMoreThanTheSpareTimeAndTheClockAllow) {
  StartPonder(tmMovesToGo, 5);
  Drop(30);
  Drop(30);
  PonderHitTime(main, 100000, level);
  EXPECT_EQ(Budget(), 19980);  // the spare time covers no bonus slice

  // A short clock with many moves to go earned nothing and gets one slice.
  StartPonder(tmMovesToGo, 40);
  PonderHitTime(main, 15000, level);
  EXPECT_EQ(TimeAllotted, 372);
  EXPECT_EQ(Budget(), 372);

  StartPonder(tmSuddenDeath, 0);
  main.Checkup_mask = DefaultCheckupMask;
  PonderHitTime(main, 2000, level);
  EXPECT_EQ(main.Checkup_mask, 1u);
}

TEST_F(TimeManager, AnEarlyPonderhitIsNotUndoneByTheSearchStart) {
  // The search read Pondering just before the ponderhit cleared it.
  Pondering = true;
  TimeMode = tmMovesToGo;
  level = TLevel{30, 0, 0, 0};
  PonderHitTime(main, 120000, level);
  const std::int64_t deadline = Deadline;
  InitTime(main, NoTimeLimit, level, true, false);
  EXPECT_EQ(Deadline, deadline);
  EXPECT_NE(Deadline, NoDeadline);
}

TEST_F(TimeManager, HelpAddsSevenSlicesAndFinAttenteTakesThemBack) {
  StartClock(tmMovesToGo, 120000, 30);
  main.Best.score = main.Best.ancienscore = 20;
  OutputCapture capture;
  EXPECT_TRUE(RequestHelp(main, -15, false));
  EXPECT_EQ(capture.Text(), "TIME BONUS !! Thread 1\nHELP !!\n");
  EXPECT_TRUE(HelpActive);
  EXPECT_EQ(HelpDepth, 8);
  EXPECT_EQ(HelpThread, 1);
  EXPECT_TRUE(BonusGranted);
  EXPECT_EQ(SavedDeadline - StartTick, 2 * 3996);
  EXPECT_EQ(Budget(), 9 * 3996);
  EXPECT_FALSE(RequestHelp(main, -50, false));  // one HELP at a time

  FinAttente();
  EXPECT_EQ(capture.Text(), "TIME BONUS !! Thread 1\nHELP !!\nFinAttente\n");
  EXPECT_FALSE(HelpActive);
  EXPECT_EQ(HelpThread, 0);
  EXPECT_EQ(HelpDepth, 0);
  EXPECT_EQ(Budget(), 2 * 3996);
  FinAttente();  // nothing left to end
  EXPECT_EQ(capture.Text(), "TIME BONUS !! Thread 1\nHELP !!\nFinAttente\n");
}

TEST_F(TimeManager, HelpTakesOnlyTheSpareTimeWhenItIsShort) {
  StartClock(tmMovesToGo, 59000, 10);
  ASSERT_EQ(SpareTime, 59000 - 7 * 5890);
  main.Best.ancienscore = 20;
  OutputCapture capture;
  EXPECT_TRUE(RequestHelp(main, -15, false));
  EXPECT_EQ(Budget(), 2 * 5890 + (59000 - 7 * 5890));
}

TEST_F(TimeManager, HelpIsAskedOnlyForACollapseSeenByTheReportingThread) {
  struct Case {
    const char* why;
    std::int32_t previous, s;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"granted", 20, -15, [] {}},
      {"granted from -149", -149, -180, [] {}},
      {"score still positive", 60, 10, [] {}},
      {"already behind", -150, -190, [] {}},
      {"no previous score", NoScore, -100, [] {}},
      {"drop of 29", 20, -9, [] {}},
      {"score rose", -40, -5, [] {}},
      {"another thread has the voice", 20, -15, [] { InfoThread = 2; }},
      {"another thread is fine", 20, -15, [] {}},
      {"pondering", 20, -15, [] { Pondering = true; }},
      {"move time", 20, -15, [] { TimeMode = tmFixedTime; }},
      {"short clock", 20, -15, [] { BonusAllowed = false; }},
      {"too shallow", 20, -15, [this] { main.PROF = 7; }},
  };
  for (const Case& c : cases) {
    SetUp();
    StartClock(tmMovesToGo, 120000, 30);
    main.Best.ancienscore = c.previous;
    c.change();
    const bool otherFine = std::string(c.why) == "another thread is fine";
    const std::int64_t deadline = Deadline;
    OutputCapture capture;
    const bool granted = RequestHelp(main, c.s, otherFine);
    EXPECT_EQ(granted, std::string(c.why).starts_with("granted")) << c.why;
    EXPECT_EQ(HelpActive, granted) << c.why;
    if (!granted) {
      EXPECT_EQ(Deadline, deadline) << c.why;
    }
  }
}

// The HELP hand-over needs the main thread and its helpers.
class HelpHandOver : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
    HashSizeMB = 3;
    ThreadsCount = 3;
    OutputCapture quiet;
    main = std::make_unique<TMainThreadSearch>(board);
  }
  void TearDown() override {
    main.reset();
    ThreadsCount = 1;
    HashSizeMB = 32;
    TTime::InitAll();
    TTime::Init();
  }
  // A HELP requested at depth 8 by thread `owner`, with depths for the
  // main thread and helpers 2 and 3.
  void Help(std::int32_t owner, std::uint32_t prof1, std::uint32_t prof2, std::uint32_t prof3) {
    HelpActive = true;
    HelpDepth = 8;
    HelpThread = owner;
    SavedDeadline = 1000;
    Deadline = 5000;
    main->PROF = prof1;
    main->Helper(0).PROF = prof2;
    main->Helper(1).PROF = prof3;
  }
  TThreadSearch& Thread(std::int32_t id) { return id == 1 ? *main : main->Helper(std::size_t(id - 2)); }
  std::string PassOn(std::int32_t from) {
    OutputCapture capture;
    PassHelpOn(*main, Thread(from));
    return capture.Text();
  }

  TProtocolBoard board;
  std::unique_ptr<TMainThreadSearch> main;
};

TEST_F(HelpHandOver, GoesToAThreadSearchingTheSameDepth) {
  Help(1, 8, 8, 8);
  PassOn(1);
  EXPECT_EQ(HelpThread, 2);

  Help(3, 8, 8, 8);
  PassOn(3);
  EXPECT_EQ(HelpThread, 1);  // a helper gives it to the main thread first

  Help(2, 9, 9, 8);
  PassOn(2);
  EXPECT_EQ(HelpThread, 3);
  EXPECT_TRUE(HelpActive);
  EXPECT_EQ(Deadline, 5000);
}

TEST_F(HelpHandOver, EndsWhenNobodyCanTakeItAndIgnoresOtherThreads) {
  Help(1, 8, 9, 8);  // the main thread hands over to helper 2 only
  EXPECT_EQ(PassOn(1), "FinAttente\n");
  EXPECT_FALSE(HelpActive);
  EXPECT_EQ(HelpThread, 0);
  EXPECT_EQ(Deadline, 1000);

  Help(2, 8, 8, 8);
  EXPECT_EQ(PassOn(3), "");  // not the owner
  EXPECT_EQ(HelpThread, 2);
  EXPECT_EQ(Deadline, 5000);
}

}  // namespace
