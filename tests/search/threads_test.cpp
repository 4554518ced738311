// Search threads in-process, so that the objects can be looked at: their
// options, the dealing of the root, the exchange of a stored root move, whose
// result is played; and an abort deep in a search.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "board/move_text.h"
#include "hash/hash_table.h"
#include "platform/console.h"
#include "protocol/protocol_board.h"
#include "protocol/uci.h"
#include "search/egtb_bridge.h"
#include "search/infos.h"
#include "search/main_thread_search.h"
#include "search/root_split.h"
#include "search/search.h"
#include "support/engine_tables.h"

namespace {

using Moves = std::vector<std::string>;

Moves RootList(const TThreadSearch& t) {
  Moves moves;
  for (int i = 0; i < t.RootMoveCount(); ++i) moves.push_back(MoveText(t.MoveStack[i].m));
  return moves;
}

// Every `step`-th move of `list` from `first` on.
Moves Every(const Moves& list, std::size_t first, std::size_t step) {
  Moves moves;
  for (std::size_t k = first; k < list.size(); k += step) moves.push_back(list[k]);
  return moves;
}

const char* const Middlegame = "startpos moves e2e4 e7e5 g1f3 b8c6";
constexpr auto NotFound = std::string::npos;

class Threads : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
  }
  void TearDown() override {
    if (main) main->StopHelpers();
    main.reset();
    uci.reset();
  }
  // Does `line` set the tablebases up again?
  bool SetsUpTablebases(const std::string& line) {
    const int before = UciMain().EGTB.SetUps();
    Serve(line);
    return UciMain().EGTB.SetUps() > before;
  }
  // The command loop, made on first use; returns what the line printed.
  std::string Serve(const std::string& line) {
    OutputCapture capture;
    UciMain();
    uci->HandleLine(line);
    return capture.Text();
  }
  // A command loop on a machine of `processors` processors.
  TMainThreadSearch& UciMain(unsigned processors = MaxThreads) {
    return (uci ? uci : uci = std::make_unique<TUCI>(processors))->MainSearch();
  }
  // A main search thread and its helpers, `threads` in all, 1 MB of tables each.
  void Create(int threads) {
    main.reset();
    settings.Threads = threads;
    settings.HashMB = threads;
    main = std::make_unique<TMainThreadSearch>(source, settings);
  }
  TThreadSearch& Helper(std::int32_t id) { return main->Helper(std::size_t(id - 2)); }
  TThreadSearch& Thread(std::int32_t id) { return id == 1 ? *main : Helper(id); }
  // The root as Think has it just before the dealing: empty tables, the
  // legal moves sorted, nothing found in the table. Returns the list.
  Moves Root(const std::string& position) {
    main->ClearAllTables();
    source.SetupPosition(position);
    for (std::int32_t id = 1; id <= std::int32_t(main->HelperCount()) + 1; ++id) Thread(id).ResetBest();
    main->CopyMain();
    main->PrepareBoard();
    main->RootInCheck = main->AnalyseChecks(main->Side, main->KingSquare(main->Side));  // never in these roots
    main->GenerateRootMoves();
    main->FilterLegalRootMoves();
    for (int i = 0; i < main->RootMoveCount(); ++i) main->PickNextMove(i);
    main->IterationDepth = 1;
    main->RootAlpha = -Infinity;
    main->RootBeta = Infinity;
    HashMoveFirst(*main);
    return RootList(*main);
  }
  // Deals the root and starts the helpers, which have no depth to search;
  // returns what was printed meanwhile.
  std::string Deal() {
    TSearchOrder order = main->Order();
    order.MaxDepth = 0;
    main->TakeOrder(order);
    OutputCapture capture;
    TRootSplit(*main).StartHelpers();
    main->StopHelpers();
    return capture.Text();
  }
  // Writes `t`'s table entry for the root: `move` (from the main thread's
  // list as Root left it) searched to `depth` with `value`.
  void Store(TThreadSearch& t, const std::string& move, int depth, std::int32_t value = 0, bool nil = false) {
    TMove m;
    for (int i = 0; i < main->RootMoveCount(); ++i)
      if (MoveText(main->MoveStack[i].m) == move) m = main->MoveStack[i].m;
    ASSERT_FALSE(m.IsNone()) << move;
    t.TransTable->Entry(main->hash) =
        THash{main->hash, value, std::int8_t(depth), hashfExact, {m.from, m.to, m.promote}, nil, 0};
  }
  // The order of the next search: only its clock mode matters here.
  void OrderMode(std::uint8_t mode) {
    TSearchOrder order;
    order.TimeMode = mode;
    main->TakeOrder(order);
  }
  OutputCapture quiet;  // first, so that it outlives the engine's lines
  TProtocolBoard source;
  TEngineSettings settings;
  std::unique_ptr<TMainThreadSearch> main;
  std::unique_ptr<TUCI> uci;
};

}  // namespace

// Every count from one to eight makes idle helpers that share the hash;
// counts out of range or above the processors are ignored, yet the
// tablebases are set up again all the same.
TEST_F(Threads, CountsOneToEightShareTheHashAndBadValuesAreIgnored) {
  Serve("setoption name Hash value 64");
  for (int n = 1; n <= MaxThreads; ++n) {
    EXPECT_TRUE(SetsUpTablebases("setoption name Threads value " + std::to_string(n))) << n;
    TMainThreadSearch& m = UciMain();
    ASSERT_EQ(m.HelperCount(), std::size_t(n - 1));
    const std::uint32_t share = TTranspositionTable::ThreadShare(64, n).count;
    EXPECT_EQ(m.TransTable->HashSize + m.PawnHash->Size(), share) << n;
    for (std::size_t i = 0; i < m.HelperCount(); ++i) {
      const TThreadSearch& helper = m.Helper(i);
      EXPECT_EQ(helper.ThreadID, std::int32_t(i + 2)) << n;
      EXPECT_TRUE(helper.Idle()) << n;
      EXPECT_EQ(helper.TransTable->HashSize + helper.PawnHash->Size(), share) << n;
    }
  }
  uci.reset();
  UciMain(2);
  Serve("setoption name Hash value 64");
  Serve("setoption name Threads value 2");
  for (const char* value : {"3", "0", "9", "-1"}) {
    EXPECT_TRUE(SetsUpTablebases(std::string("setoption name Threads value ") + value)) << value;
    EXPECT_EQ(uci->Settings().Threads, 2) << value;
    EXPECT_EQ(UciMain().HelperCount(), 1u) << value;
  }
  Serve("setoption name Threads value many");
  Serve("setoption name Hash value 12x");  // the UciLoop and UciSession tests see what is printed
  EXPECT_TRUE(uci->Settings().Threads == 2 && uci->Settings().HashMB == 64);
  // A new game makes the helpers afresh.
  UciMain().Helper(0).Nodes = 12345;
  Serve("ucinewgame");
  ASSERT_EQ(UciMain().HelperCount(), 1u);
  EXPECT_EQ(UciMain().Helper(0).Nodes, 0u);
}

// A tablebase option that really changes sets the tablebases up again at
// the next "isready", and only then.
TEST_F(Threads, NalimovOptionsReinitialiseAtIsreadyOnlyWhenChanged) {
  Serve("isready");  // settles the flags set at start
  Serve("setoption name NalimovPath value /tmp/tb");
  EXPECT_TRUE(SetsUpTablebases("isready"));
  Serve("setoption name NalimovPath value /tmp/tb");
  EXPECT_EQ(Serve("isready"), "readyok\n");
  Serve("setoption name NalimovCache value 16");
  EXPECT_TRUE(SetsUpTablebases("isready"));
  // The library option too, a path with blanks included.
  Serve("setoption name TablebaseLibrary value /tmp/my tables/EGTB.DLL");
  EXPECT_EQ(uci->Settings().TablebaseLibrary, "/tmp/my tables/EGTB.DLL");
  EXPECT_NE(Serve("isready").find("/tmp/my tables/EGTB.DLL not loaded"), NotFound);
  Serve("setoption name TablebaseLibrary value <empty>");
  EXPECT_TRUE(uci->Settings().TablebaseLibrary.empty());
  EXPECT_TRUE(SetsUpTablebases("isready"));
}

TEST(SearchAbort, AnAbortDeepInTheSearchIsCaughtAndTheBoardRebuilt) {
  EnsureEngineTables();
  TProtocolBoard source;
  std::string error;
  ASSERT_TRUE(source.LoadFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", error));
  OutputCapture quiet;
  const TEngineSettings settings;
  TMainThreadSearch main(source, settings);
  main.CopyMain();
  main.PrepareBoard();
  main.StopPollMask = 15;  // a check every 16 nodes, well within the ply limit
  main.SearchStopped = true;  // "stop" has arrived: the next check aborts
  // Down the first legal line until told to stop; nothing is taken back.
  std::function<void()> dive = [&] {
    main.CountNode();
    if (main.Ply > 0) main.UpdateChecks(false);
    main.GenerateMoves();
    for (int i = main.FirstMove[main.Ply]; i < main.FirstMove[main.Ply + 1]; ++i)
      if (main.MakeMove(main.MoveStack[i].m)) return dive();
  };
  EXPECT_FALSE(TThreadSearch::RunAbortable(dive));
  EXPECT_GT(main.Ply, 0u);  // the board was left mid-line
  main.SearchStopped = false;
  main.CopyMain();
  main.PrepareBoard();
  EXPECT_EQ(main.Ply, 0u);
  EXPECT_EQ(main.hash, source.hash);
  EXPECT_EQ(main.Piece, source.Piece);
  EXPECT_TRUE(main.board_is_ok());
}

// Left over from a long earlier search: a node count near the 32-bit limit
// and a stored root move found then. Neither may reach the next search,
// whether the helper is dealt moves or, with a single root move, none.
TEST_F(Threads, EverySearchStartsTheHelpersAfresh) {
  UciMain(2);
  Serve("setoption name Threads value 2");
  ASSERT_EQ(UciMain().HelperCount(), 1u);
  TThreadSearch& helper = UciMain().Helper(0);
  for (const char* position : {"startpos moves e2e4 e7e5", "fen 1r5k/8/8/8/8/8/8/K6r w - - 0 1"}) {
    helper.Nodes = 4000000000u;
    helper.StoredMoveFound = true;
    Serve(std::string("position ") + position);
    Serve("go depth 4");
    UciMain().Thread().WaitIdle();
    EXPECT_LT(helper.Nodes, 4000000000u) << position;
    EXPECT_EQ(helper.Nodes > 0, position[0] == 's') << position;
    EXPECT_FALSE(helper.StoredMoveFound) << position;
  }
}

TEST_F(Threads, RootMovesAreDealtInTurnAndTheMainThreadKeepsThePrincipalMove) {
  for (int threads : {2, 3}) {
    SCOPED_TRACE(threads);
    Create(threads);
    // A clock game whose stored move was sorted sixth: it comes first and so
    // stays with the main thread.
    OrderMode(tmMovesToGo);
    const Moves sorted = Root(Middlegame);
    ASSERT_EQ(sorted.size(), 27u);
    Store(*main, sorted[5], 6, 12);
    HashMoveFirst(*main);
    const Moves dealt = RootList(*main);
    ASSERT_EQ(dealt[0], sorted[5]);
    EXPECT_EQ(Deal(), "");  // nothing to exchange, and depth 1 is not printed
    EXPECT_EQ(MoveText(main->Best.m), sorted[5]);
    for (std::int32_t id = 1; id <= threads; ++id) {
      EXPECT_EQ(RootList(Thread(id)), Every(dealt, std::size_t(id - 1), threads)) << "thread " << id;
      EXPECT_EQ(Thread(id).MaxMoves, Thread(id).RootMoveCount());
      EXPECT_EQ(Thread(id).StoredMoveFound, id == 1);  // only the main thread starts from the stored move
    }
    EXPECT_EQ(main->Infos.VoiceThread(), 1);
  }
  // Two moves for three threads: the third thread takes no part.
  const Moves two = Root("fen 7k/8/8/8/8/8/r7/K7 w - - 0 1");
  ASSERT_EQ(two.size(), 2u);
  Deal();
  EXPECT_EQ(RootList(*main), Moves{two[0]});
  EXPECT_EQ(RootList(Helper(2)), Moves{two[1]});
  EXPECT_EQ(Helper(3).MaxMoves, 0);
  EXPECT_EQ(Helper(3).IterationDepth, IdleDepth);
}

TEST_F(Threads, AStoredRootMoveInAnotherShareIsExchangedForTheFirstMove) {
  struct Stored { std::int32_t thread; std::size_t index; int depth = 1; bool nil = false; };  // index: sorted
  struct Case {
    const char* what;
    std::vector<Stored> stored;
    std::uint8_t mode;
    std::int32_t taker = 0, giver = 0;  // taker 0: nobody exchanges
    std::size_t from = 0;  // the stored move's index in the giver's share
  };
  // Three shares: the main thread L0 L3 L6 ..., thread 2 L1 L4 ..., thread 3
  // L2 L5 ... The main thread's stored moves are written after its own
  // look-up, so that only the exchange can bring them to it.
  const Case cases[] = {
      {"the main thread's move, dealt to thread 2", {{1, 4}}, tmMovesToGo, 1, 2, 1},
      {"searched to depth 0", {{1, 4, 0}}, tmMovesToGo},
      {"marked empty", {{1, 4, 1, true}}, tmMovesToGo},
      {"not a clock game", {{1, 4}}, tmUnlimited},
      {"thread 2's move, dealt to the main thread", {{2, 3}}, tmMovesToGo, 2, 1, 1},
      {"thread 3's move, dealt to thread 2", {{3, 4}}, tmMovesToGo, 3, 2, 1},
      {"one exchange at most, the main thread's first", {{1, 5}, {2, 3}}, tmMovesToGo, 1, 3, 1},
      {"thread 2 found its own move: nobody exchanges", {{1, 5}, {2, 4}}, tmMovesToGo},
  };
  Create(3);
  for (const Case& c : cases) {
    OrderMode(c.mode);
    const Moves L = Root(Middlegame);
    const std::vector<Moves> plain = {Every(L, 0, 3), Every(L, 1, 3), Every(L, 2, 3)};
    for (const Stored& s : c.stored) Store(Thread(s.thread), L[s.index], s.depth, 25, s.nil);
    const std::string printed = Deal();
    const std::vector<Moves> shares = {RootList(*main), RootList(Helper(2)), RootList(Helper(3))};
    if (c.taker == 0) {
      EXPECT_EQ(printed, "") << c.what;
      EXPECT_EQ(shares[0], plain[0]) << c.what;
      continue;
    }
    std::vector<Moves> expected = plain;
    std::swap(expected[c.taker - 1][0], expected[c.giver - 1][c.from]);
    EXPECT_EQ(shares, expected) << c.what;
    EXPECT_EQ(printed, "info string SWITCH: T" + std::to_string(c.taker) + " OldMove: " + plain[c.taker - 1][0] +
                           " Move :" + expected[c.taker - 1][0] + "\n")
        << c.what;
    // The taker starts from the stored move as if it had found it itself.
    const TThreadSearch& taker = Thread(c.taker);
    EXPECT_TRUE(taker.StoredMoveFound) << c.what;
    EXPECT_EQ(MoveText(taker.Best.m), expected[c.taker - 1][0]) << c.what;
    EXPECT_EQ(taker.Best.score, 25) << c.what;
  }
}

namespace {

constexpr TMove E2E4{52, 36, 0, 0}, D2D4{51, 35, 0, 0}, G1F3{62, 45, 0, 0}, E7E5{12, 28, 0, 0}, D7D5{11, 27, 0, 0};
struct Result { std::int32_t score; std::uint32_t depth; bool hasMove = true; };
void SetResult(TThreadSearch& t, TMove m, const Result& r, TMove reply) {
  t.Best = TBest{};
  if (r.hasMove) t.Best.m = m;
  t.Best.pv.SetMove(t.Best.m);
  t.Best.score = r.score;
  t.Best.Depth = r.depth;
  t.ExpectedReply = reply;
}

}  // namespace

// The thresholds: any gain at all, and a deeper voice's margin of 20.
TEST_F(Threads, TheFinalMoveGoesToABetterScoreUnlessTheVoiceSawDeeperAndIsWithinTwenty) {
  struct Case { const char* what; std::int32_t voice; Result mainResult, helperResult; std::int32_t chosen; };
  const Case cases[] = {
      {"an equal score keeps the voice's move", 1, {30, 9}, {30, 9}, 1},
      {"one more at the same depth takes over", 1, {30, 9}, {31, 9}, 2},
      {"20 more loses to a deeper voice", 1, {30, 10}, {50, 9}, 1},
      {"21 more takes over whatever the depths", 1, {30, 12}, {51, 9}, 2},
      {"nobody spoke: the main thread is the candidate", 0, {30, 10}, {50, 9}, 1},
      {"a helper with the voice keeps it deeper against 20 more", 2, {50, 9}, {30, 10}, 2},
      {"a helper with the voice loses deeper against 21 more", 2, {51, 9}, {30, 10}, 1},
      {"a helper without a move never takes over", 1, {30, 9}, {90, 12, false}, 1},
      {"the main thread without a move never takes over", 2, {90, 12, false}, {30, 9}, 2},
  };
  Create(2);
  for (const Case& c : cases) {
    SetResult(*main, E2E4, c.mainResult, E7E5);
    SetResult(Helper(2), D2D4, c.helperResult, D7D5);
    main->Infos.Init();
    if (c.voice != 0) main->Infos.GiveVoice(c.voice);
    OutputCapture capture;
    TRootSplit(*main).ChooseFinalMove();
    const bool helperChosen = c.chosen == 2, voiceChosen = c.chosen == (c.voice == 2 ? 2 : 1);
    EXPECT_TRUE(main->Best.m == (helperChosen ? D2D4 : E2E4) && main->ExpectedReply == (helperChosen ? D7D5 : E7E5) &&
                main->Best.score == (helperChosen ? c.helperResult : c.mainResult).score)
        << c.what;
    EXPECT_EQ(capture.Text(), voiceChosen ? ""
                              : helperChosen ? "info string SWITCHBEST: T2 OldMove: e2e4 Move :d2d4\n"
                                             : "info string SWITCHBEST: T1 OldMove: d2d4 Move :e2e4\n")
        << c.what;
  }
  // Three threads: the main thread is weighed first, then the helpers in
  // turn against whichever result leads by then.
  Create(3);
  SetResult(Helper(3), G1F3, {30, 12}, E7E5);
  SetResult(*main, E2E4, {55, 9}, E7E5);
  SetResult(Helper(2), D2D4, {65, 9}, D7D5);
  main->Infos.GiveVoice(3);
  OutputCapture capture;
  TRootSplit(*main).ChooseFinalMove();
  EXPECT_EQ(capture.Text(),
            "info string SWITCHBEST: T1 OldMove: g1f3 Move :e2e4\n"
            "info string SWITCHBEST: T2 OldMove: e2e4 Move :d2d4\n");
  EXPECT_EQ(main->Best.m, D2D4);
  EXPECT_EQ(main->Best.score, 65);
}
