// The clock: slices and deadlines, the TIME BONUS slices, pondering and
// "ponderhit", and the HELP extension with its hand-over between threads.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "platform/console.h"
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
    main.IterationDepth = 8;
    main.Eval.PhaseAtRoot = middlegame;
  }
  void TearDown() override {
    TTime::InitAll();
    TTime::Init();
    TimeMode = tmFixedDepth;
    Pondering = false;
    InfoThread = 0;
    ThreadsCount = 1;
    HashSizeMB = 32;
  }
  // A new search on a clock of `t` ms, as Think starts it; a ponder search
  // parks the clock.
  void StartClock(std::uint8_t mode, std::int32_t t, std::int32_t movesToGo, std::int32_t increment = 0,
                  bool ponder = false) {
    TimeMode = mode;
    level = TLevel{movesToGo, increment};
    Pondering = ponder;
    main.StopPollMask = DefaultCheckupMask;
    InitTime(main, ponder ? NoTimeLimit : t, level, ponder, false);
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

constexpr const char* BonusLine = "info string TIME BONUS !! Thread 1\n";

TEST_F(TimeManager, SliceReserveDeadlineAndCheckFrequency) {
  constexpr std::uint32_t Rare = DefaultCheckupMask;
  constexpr auto MTG = tmMovesToGo, SD = tmSuddenDeath;
  struct Case { std::uint8_t mode; std::int32_t t, movesToGo, increment, slice, budget, reserveSlices;
                std::uint32_t mask; bool helpAllowed; std::int32_t bonusCount; };
  // Each threshold from both sides: the reserve at 600 s and 60 s, the check
  // frequency at 30 s (sudden death), 15 s and 2 s, HELP at 15 s, the last
  // move's 1.5 s at 5 s; "movestogo 0" is the last move, not a divisor.
  const Case cases[] = {
      {MTG, 600000, 40, 0, 14997, 14997, 3, Rare, true, 0}, {SD, 300000, 0, 2000, 11900, 11900, 5, Rare, true, 0},
      {SD, 59999, 0, 0, 1499, 1499, 7, Rare, true, 0},
      {MTG, 5000, 0, 0, 4900, 3400, 7, 1023, false, 0},     {MTG, 4999, 1, 0, 4899, 4899, 7, 1023, false, 0},
      {MTG, 15001, 40, 0, 372, 372, 7, Rare, true, 0},      {MTG, 15000, 40, 0, 372, 372, 7, 1023, false, 0},
      {MTG, 2001, 40, 0, 47, 47, 7, 1023, false, 0},        {MTG, 2000, 40, 0, 47, 47, 7, 1, false, 0},
      {SD, 30001, 0, 0, 750, 750, 7, Rare, true, 0},        {SD, 30000, 0, 0, 750, 750, 7, 1023, true, 0},
      {SD, 15001, 0, 0, 375, 375, 7, 1023, true, 0},        {SD, 15000, 0, 0, 375, 375, 7, 1023, false, 99},
      {SD, 2000, 0, 0, 50, 50, 7, 1, false, 99},
      // The slice is more than the clock holds: the clock less the move
      // overhead bounds it, whatever the increment; at 0 it stops at once.
      {SD, 200, 0, 1000, 906, 170, 7, 1, false, 99},        {SD, 0, 0, 0, 5, 0, 7, 1, false, 99},
      {SD, 60000, 0, NoTimeLimit - 1, 1000001898, 59970, 5, Rare, true, 0},
      // A small increment on a short clock makes the formula negative: a
      // fiftieth of the clock, 5 ms at least, keeps the engine searching.
      {SD, 1000, 0, 10, 20, 20, 7, 1, false, 99},           {SD, 100, 0, 10, 5, 5, 7, 1, false, 99},
      {MTG, 90, 10, 0, 5, 5, 7, 1, false, 0},
  };
  for (const Case& c : cases) {
    StartClock(c.mode, c.t, c.movesToGo, c.increment);
    SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.t << " " << c.movesToGo << " " << c.increment);
    using Clock = std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>;  // slice, allotted, budget, spare
    EXPECT_EQ(Clock(TimeSlice, TimeAllotted, Budget(), SpareTime),
              Clock(c.slice, c.slice, c.budget, c.t - std::int64_t(c.reserveSlices) * c.slice));
    EXPECT_EQ(std::tuple(main.StopPollMask.load(), BonusAllowed.load(), BonusCount.load()),
              std::tuple(c.mask, c.helpAllowed, c.bonusCount));
  }
  // The move overhead is what the interface needs to pass the move on.
  MoveOverhead = 400;
  StartClock(tmSuddenDeath, 1000, 0, 100000);
  EXPECT_EQ(Budget(), 600);
  MoveOverhead = DefaultMoveOverhead;
  // Without a clock only a move time ends the search.
  StartClock(tmFixedTime, 1500, 0);
  EXPECT_EQ(Budget(), 1500);
  StartClock(tmFixedDepth, NoTimeLimit, 0);
  EXPECT_EQ(Deadline, NoDeadline);
}

TEST_F(TimeManager, TimeBonusNeedsDropsAddingUpTo25AndComesTwiceAtMost) {
  StartClock(tmMovesToGo, 120000, 30);
  main.Best.score = 0;
  for (std::int32_t drop : {10, -5, 0, 10}) Drop(drop);  // the rise starts the count again
  EXPECT_EQ(Drop(14), "");
  EXPECT_EQ(Budget(), 3996);
  EXPECT_EQ(Drop(1), BonusLine);
  EXPECT_EQ(Budget(), 2 * 3996);
  EXPECT_TRUE(BonusGranted);
  EXPECT_EQ(main.Best.PreviousScore, main.Best.score);
  EXPECT_EQ(Drop(40), BonusLine);
  EXPECT_EQ(Drop(40), "");
  EXPECT_EQ(Budget(), 3 * 3996);
}

TEST_F(TimeManager, TimeBonusWaitsForDepthAClockAndSpareTime) {
  struct Case { const char* why; std::uint8_t mode; std::int32_t t, movesToGo; TPhase phase; std::uint32_t depth; bool granted; };
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
    SetUp();
    StartClock(c.mode, c.t, c.movesToGo);
    main.Eval.PhaseAtRoot = c.phase;
    main.IterationDepth = c.depth;
    EXPECT_EQ(Drop(50), c.granted ? BonusLine : "") << c.why;
    EXPECT_EQ(BonusGranted, c.granted) << c.why;
  }
}

TEST_F(TimeManager, PonderhitGrantsTheSlicesEarnedWhilePonderingAsFarAsTheClockAllows) {
  struct Case { std::uint8_t mode; std::int32_t t, movesToGo, drops, budget; std::uint32_t mask; };
  const Case cases[] = {
      {tmMovesToGo, 120000, 30, 3, 3 * 3996, DefaultCheckupMask},  // two slices earned at most
      {tmMovesToGo, 100000, 5, 2, 19980, DefaultCheckupMask},      // the spare time covers no bonus
      {tmMovesToGo, 15000, 40, 0, 372, 1023},
      {tmSuddenDeath, 2000, 0, 0, 50, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    StartClock(c.mode, c.t, c.movesToGo, 0, true);
    const std::int64_t ponderStart = StartTick;
    for (int i = 0; i < c.drops; ++i) EXPECT_EQ(Drop(30), "");  // counted, not granted: no clock runs yet
    EXPECT_EQ(Deadline, NoDeadline);
    PonderHitTime(main, c.t, level);
    SCOPED_TRACE(c.t);
    EXPECT_FALSE(Pondering);
    EXPECT_EQ(StartTick, ponderStart);  // the time spent pondering counts
    EXPECT_TRUE(TimeAllotted == c.budget && Budget() == c.budget && main.StopPollMask == c.mask);
    // The search starting only now, having read Pondering just before the
    // ponderhit cleared it, must not park the clock again.
    InitTime(main, NoTimeLimit, level, true, false);
    EXPECT_EQ(Budget(), c.budget);
  }
}

TEST_F(TimeManager, HelpAddsSevenSlicesOrTheSpareTimeAndFinAttenteTakesThemBack) {
  StartClock(tmMovesToGo, 120000, 30);
  main.Best.score = main.Best.PreviousScore = 20;
  OutputCapture capture;
  EXPECT_TRUE(RequestHelp(main, -15, false));
  EXPECT_EQ(capture.Text(), std::string(BonusLine) + "info string HELP !!\n");
  EXPECT_EQ(HelpDepth, 8);
  EXPECT_EQ(HelpThread, 1);
  EXPECT_EQ(SavedDeadline - StartTick, 2 * 3996);
  EXPECT_EQ(Budget(), 9 * 3996);
  EXPECT_FALSE(RequestHelp(main, -50, false));  // one HELP at a time
  EndHelpWait();
  EndHelpWait();  // nothing left to end
  EXPECT_EQ(capture.Text(), std::string(BonusLine) + "info string HELP !!\ninfo string EndHelpWait\n");
  EXPECT_FALSE(HelpActive);
  EXPECT_EQ(Budget(), 2 * 3996);
  StartClock(tmMovesToGo, 59000, 10);
  main.Best.PreviousScore = 20;
  EXPECT_TRUE(RequestHelp(main, -15, false));
  EXPECT_EQ(Budget(), 2 * 5890 + (59000 - 7 * 5890));
}

TEST_F(TimeManager, HelpIsAskedOnlyForACollapseSeenByTheReportingThread) {
  struct Case { const char* why; std::int32_t previous, s; bool otherFine; std::function<void()> change; };
  const auto none = [] {};
  // "granted" sits on both thresholds at once: a drop of exactly 30 to 0.
  const Case cases[] = {
      {"granted", 30, 0, false, none},
      {"granted from -149", -149, -180, false, none},
      {"score still positive", 40, 1, false, none},
      {"already behind", -150, -190, false, none},
      {"drop of 29", 20, -9, false, none},
      {"score rose", -40, -5, false, none},
      {"another thread has the voice", 20, -15, false, [] { InfoThread = 2; }},
      {"another thread is fine", 20, -15, true, none},
      {"pondering", 20, -15, false, [] { Pondering = true; }},
      {"move time", 20, -15, false, [] { TimeMode = tmFixedTime; }},
      {"short clock", 20, -15, false, [] { BonusAllowed = false; }},
      {"too shallow", 20, -15, false, [this] { main.IterationDepth = 7; }},
  };
  for (const Case& c : cases) {
    SetUp();
    StartClock(tmMovesToGo, 120000, 30);
    main.Best.PreviousScore = c.previous;
    c.change();
    const std::int64_t deadline = Deadline;
    OutputCapture capture;
    const bool granted = RequestHelp(main, c.s, c.otherFine);
    EXPECT_EQ(granted, std::string(c.why).starts_with("granted")) << c.why;
    EXPECT_EQ(HelpActive, granted) << c.why;
    EXPECT_EQ(Deadline == deadline, !granted) << c.why;
  }
}

TEST_F(TimeManager, HelpIsHandedToAThreadAtTheSameDepthOrEnds) {
  HashSizeMB = 3;
  ThreadsCount = 3;  // the main thread and two helpers
  TProtocolBoard board;
  OutputCapture quiet;
  TMainThreadSearch search(board);
  struct Case { std::int32_t owner; std::uint32_t depths[3]; std::int32_t returning, next; };  // next 0: it ends
  const Case cases[] = {
      {1, {8, 8, 8}, 1, 2},
      {3, {8, 8, 8}, 3, 1},  // a helper gives it to the main thread first
      {2, {9, 9, 8}, 2, 3},
      {1, {8, 9, 8}, 1, 0},  // the main thread hands over to helper 2 only
      {2, {8, 8, 8}, 3, 2},  // not the owner: nothing happens
  };
  for (const Case& c : cases) {
    HelpActive = true;
    HelpDepth = 8;
    HelpThread = c.owner;
    SavedDeadline = 1000;
    Deadline = 5000;
    for (std::int32_t id : {1, 2, 3}) (id == 1 ? search : search.Helper(std::size_t(id - 2))).IterationDepth = c.depths[id - 1];
    OutputCapture capture;
    PassHelpOn(search, c.returning == 1 ? search : search.Helper(std::size_t(c.returning - 2)));
    SCOPED_TRACE(testing::Message() << "owner " << c.owner << " returning " << c.returning);
    EXPECT_EQ(HelpThread, c.next);
    EXPECT_TRUE(HelpActive == (c.next != 0) && Deadline == (c.next != 0 ? 5000 : 1000));
    EXPECT_EQ(capture.Text(), c.next != 0 ? "" : "info string EndHelpWait\n");
  }
}

}  // namespace
