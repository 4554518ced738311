// Search threads in-process: options, tables, the helpers' start, the answer, an abort.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "board/move_text.h"
#include "hash/hash_table.h"
#include "platform/console.h"
#include "protocol/protocol_board.h"
#include "protocol/uci.h"
#include "search/egtb_bridge.h"
#include "search/infos.h"
#include "search/main_thread_search.h"
#include "search/search.h"
#include "search/search_team.h"
#include "support/engine_tables.h"

namespace {

using Moves = std::vector<std::string>;

Moves RootList(const TThreadSearch& t) {
  Moves moves;
  for (int i = 0; i < t.RootMoveCount(); ++i) moves.push_back(MoveText(t.MoveStack[i].m));
  return moves;
}

const char* const Middlegame = "startpos moves e2e4 e7e5 g1f3 b8c6";
constexpr auto NotFound = std::string::npos;

class Threads : public ::testing::Test {
 protected:
  void SetUp() override { EnsureEngineTables(); }
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
  // The root list as Think has it before the helpers start, tables empty.
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
  // Starts the helpers with no depth to search; returns what was printed.
  std::string Deal() {
    TSearchOrder order = main->Order();
    order.MaxDepth = 0;
    main->TakeOrder(order);
    OutputCapture capture;
    TSearchTeam(*main).StartHelpers();
    main->StopHelpers();
    return capture.Text();
  }
  // Stores the root's entry: `move` searched to `depth` with `value`.
  void Store(TThreadSearch& t, const std::string& move, int depth, std::int32_t value = 0) {
    TMove m;
    for (int i = 0; i < main->RootMoveCount(); ++i)
      if (MoveText(main->MoveStack[i].m) == move) m = main->MoveStack[i].m;
    ASSERT_FALSE(m.IsNone()) << move;
    t.TransTable->Store(main->hash,
                        THash{main->hash, value, std::int8_t(depth), hashfExact, {m.from, m.to, m.promote}, false, 0});
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

// One to eight threads share one table within the budget, more than the
// processors said so; bad counts are ignored, the tablebases set up again.
TEST_F(Threads, CountsOneToEightShareOneTableWithinTheBudgetAndBadValuesAreIgnored) {
  UciMain(2);
  Serve("setoption name Hash value 64");
  for (int n = 1; n <= MaxThreads; ++n) {
    const std::string line = "setoption name Threads value " + std::to_string(n);
    const std::string said = Serve(line);
    EXPECT_EQ(said.find("more than this machine's 2 processors") != NotFound, n > 2) << said;
    TMainThreadSearch& m = UciMain();
    ASSERT_EQ(m.HelperCount(), std::size_t(n - 1));
    std::uint64_t units = m.TransTable->HashSize + m.PawnHash->Size();
    for (std::size_t i = 0; i < m.HelperCount(); ++i) {
      const TThreadSearch& helper = m.Helper(i);
      EXPECT_TRUE(helper.ThreadID == std::int32_t(i + 2) && helper.Idle()) << n;
      EXPECT_EQ(helper.TransTable, m.TransTable) << n;
      units += helper.PawnHash->Size();
    }
    EXPECT_LE(units, TTranspositionTable::UnitsForSize(64)) << n;
    EXPECT_GT(m.TransTable->HashSize, TTranspositionTable::UnitsForSize(64) * 7 / 8) << n;
  }
  Serve("setoption name Threads value 2");
  for (const char* value : {"0", "9", "-1"}) {
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
  main.StopPollMask = 15;     // a check every 16 nodes, well within the ply limit
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
// whether the position has many root moves or a single one.
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
    EXPECT_LT(helper.Nodes, 4000000000u) << position;  // a quick search may end before the helper starts
    EXPECT_FALSE(helper.StoredMoveFound) << position;
  }
}

// Every helper searches the whole root in the main thread's order, from a
// depth of its own; nobody speaks before a depth is done.
TEST_F(Threads, EveryHelperSearchesTheWholeRootFromItsOwnDepth) {
  Create(3);
  OrderMode(tmMovesToGo);
  const Moves sorted = Root(Middlegame);
  ASSERT_EQ(sorted.size(), 27u);
  Store(*main, sorted[5], 6, 12);
  HashMoveFirst(*main);
  const Moves first = RootList(*main);
  ASSERT_EQ(first[0], sorted[5]);
  EXPECT_EQ(Deal(), "");
  for (std::int32_t id = 2; id <= 3; ++id) {
    EXPECT_EQ(RootList(Helper(id)), first) << "thread " << id;
    EXPECT_TRUE(Helper(id).StoredMoveFound && Helper(id).TransTable == main->TransTable) << "thread " << id;
  }
  EXPECT_EQ(main->Infos.VoiceThread(), 0);
}

// The main thread searches every depth, each helper about half of them in
// a pattern of its own.
TEST(SearchTeam, HelpersSkipDepthsEachInItsOwnPattern) {
  std::vector<std::vector<bool>> patterns;
  for (std::int32_t id = 1; id <= MaxThreads; ++id) {
    std::vector<bool> searched;
    for (std::uint32_t depth = 1; depth <= 60; ++depth) searched.push_back(!TSearchTeam::SkipsDepth(id, depth));
    const auto count = std::count(searched.begin(), searched.end(), true);
    if (id == 1) EXPECT_EQ(count, 60);
    else EXPECT_TRUE(count >= 24 && count <= 36) << id << ": " << count;
    EXPECT_EQ(std::count(patterns.begin(), patterns.end(), searched), 0) << id;
    patterns.push_back(searched);
    EXPECT_FALSE(TSearchTeam::SkipsDepth(id, TSearchTeam::NextDepth(id, 7))) << id;
  }
}

namespace {

constexpr TMove E2E4{52, 36, 0, 0}, D2D4{51, 35, 0, 0}, G1F3{62, 45, 0, 0}, E7E5{12, 28, 0, 0};

// `t` found `m` (none when `hasMove` is false) with `score` at `depth`,
// having completed iteration `completed`.
void SetResult(TThreadSearch& t, TMove m, std::int32_t score, std::uint32_t depth, std::uint32_t completed = 8,
               bool hasMove = true) {
  t.Best = TBest{};
  if (hasMove) t.Best.m = m;
  t.Best.pv.SetMove(t.Best.m);
  std::tie(t.Best.score, t.Best.Depth, t.Best.CompletedDepth) = std::tuple(score, depth, completed);
  t.ExpectedReply = m == D2D4 ? TMove{11, 27, 0, 0} : E7E5;
}

}  // namespace

// The main thread speaks and answers, unless a helper completed a deeper
// iteration, or one as deep and scored better where the main thread did not
// see deeper within 20; helpers are weighed in turn against whichever result
// leads by then.
TEST_F(Threads, TheFinalMoveGoesToTheDeepestIterationThenToABetterScore) {
  Create(2);
  // What; the main thread's score, depth and completed depth; the helper's;
  // whether the helper has a move, and whether it takes over.
  using Case = std::tuple<const char*, std::int32_t, std::uint32_t, std::uint32_t, std::int32_t, std::uint32_t,
                          std::uint32_t, bool, bool>;
  for (const auto& [what, mainScore, mainDepth, mainDone, helperScore, helperDepth, helperDone, helperHasMove,
                    helperChosen] :
       {Case{"an equal score keeps the main thread's move", 30, 9, 8, 30, 9, 8, true, false},
        {"one more at the same depth takes over", 30, 9, 8, 31, 9, 8, true, true},
        {"20 more loses to a deeper main thread", 30, 10, 8, 50, 9, 8, true, false},
        {"21 more takes over whatever the depths", 30, 12, 8, 51, 9, 8, true, true},
        {"a deeper completed iteration takes over, even worse", 30, 10, 9, -40, 11, 10, true, true},
        {"a shallower one never does, however it scored", 30, 10, 10, 300, 10, 9, true, false},
        {"a helper without a move never takes over", 30, 9, 8, 90, 12, 11, false, false}}) {
    SetResult(*main, E2E4, mainScore, mainDepth, mainDone);
    SetResult(Helper(2), D2D4, helperScore, helperDepth, helperDone, helperHasMove);
    main->Infos.Init();
    main->Infos.GiveVoice(1);
    OutputCapture capture;
    TSearchTeam(*main).ChooseFinalMove();
    EXPECT_TRUE(main->Best.m == (helperChosen ? D2D4 : E2E4) &&
                (main->ExpectedReply == Helper(2).ExpectedReply) == helperChosen &&
                main->Best.score == (helperChosen ? helperScore : mainScore))
        << what;
    EXPECT_EQ(capture.Text(), helperChosen ? "info string SWITCHBEST: T2 OldMove: e2e4 Move :d2d4\n" : "") << what;
  }
  Create(3);
  SetResult(*main, E2E4, 30, 9);
  SetResult(Helper(2), D2D4, 40, 9);
  SetResult(Helper(3), G1F3, 55, 9);
  OutputCapture capture;
  TSearchTeam(*main).ChooseFinalMove();
  EXPECT_EQ(capture.Text(),
            "info string SWITCHBEST: T2 OldMove: e2e4 Move :d2d4\n"
            "info string SWITCHBEST: T3 OldMove: d2d4 Move :g1f3\n");
  EXPECT_TRUE(main->Best.m == G1F3 && main->Best.score == 55);
}
