// Search threads and the options that shape them, driven through the command
// loop as the interface would, in-process so that the objects can be looked at.
#include <gtest/gtest.h>

#include "hash/hash_table.h"
#include "platform/console.h"
#include "search/egtb_bridge.h"
#include "protocol/uci.h"
#include "search/control.h"
#include "search/main_thread_search.h"
#include "support/engine_tables.h"

namespace {

class Threads : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
    HashSizeMB = 32;
    uci = std::make_unique<TUCI>();
  }
  void TearDown() override {
    uci.reset();
    ThreadsCount = 1;
    HashSizeMB = 32;
  }
  // Serves the line and returns what the engine printed for it.
  std::string Serve(const std::string& line) {
    OutputCapture capture;
    uci->HandleLine(line);
    return capture.Text();
  }
  TMainThreadSearch& Main() { return uci->MainSearch(); }

  OutputCapture identity;  // swallows the lines printed on construction
  std::unique_ptr<TUCI> uci;
};

std::uint32_t UnitsOf(const TThreadSearch& thread) { return thread.HashClass->HashSize + thread.PawnHash->Size(); }

}  // namespace

TEST_F(Threads, OneThreadHasNoHelperAndTheWholeHash) {
  EXPECT_EQ(Main().HelperCount(), 0u);
  EXPECT_EQ(UnitsOf(Main()), THashClass::UnitsForSize(32));
  Serve("setoption name Hash value 64");
  EXPECT_EQ(HashSizeMB, 64);
  EXPECT_EQ(UnitsOf(Main()), THashClass::UnitsForSize(64));
}

TEST_F(Threads, HelpersAreCreatedIdleAndHashIsShared) {
  ProcessorCount = 4;  // as on a machine with four processors
  EXPECT_NE(Serve("setoption name Threads value 2").find("Init EGTB"), std::string::npos);
  ASSERT_EQ(Main().HelperCount(), 1u);
  EXPECT_EQ(Main().Helper(0).ThreadID, 2);
  EXPECT_EQ(Main().Helper(0).PROF, IdleDepth);
  EXPECT_TRUE(Main().Helper(0).Idle());

  Serve("setoption name Threads value 4");
  Serve("SETOPTION NAME HASH VALUE 128");
  ASSERT_EQ(Main().HelperCount(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(UnitsOf(Main().Helper(i)), THashClass::UnitsForSize(32));
  EXPECT_EQ(UnitsOf(Main()), THashClass::UnitsForSize(32));
}

TEST_F(Threads, BadThreadValuesAreIgnoredButTablebasesReinitialise) {
  ProcessorCount = 2;
  for (const char* value : {"3", "0", "9", "-1"}) {
    const std::string printed = Serve(std::string("setoption name Threads value ") + value);
    EXPECT_NE(printed.find("Init EGTB"), std::string::npos) << value;
    EXPECT_EQ(ThreadsCount, 1) << value;
    EXPECT_EQ(Main().HelperCount(), 0u) << value;
  }
  EXPECT_EQ(Serve("setoption name Threads value many"), "info string EConvertError: 'many' is not a valid integer value\n");
  EXPECT_EQ(Serve("setoption name Hash value 12x"), "info string EConvertError: '12x' is not a valid integer value\n");
  EXPECT_EQ(ThreadsCount, 1);
  EXPECT_EQ(HashSizeMB, 32);
}

TEST_F(Threads, NewGameRecreatesTheHelpers) {
  ProcessorCount = 2;
  Serve("setoption name Threads value 2");
  Main().Helper(0).Nodes = 12345;  // marks the old helper
  Serve("ucinewgame");
  ASSERT_EQ(Main().HelperCount(), 1u);
  EXPECT_EQ(Main().Helper(0).Nodes, 0u);
  EXPECT_TRUE(ClearHashPending);
}

TEST_F(Threads, NalimovPathChangeIsNotedOnlyWhenTheValueChanges) {
  Serve("isready");  // settles the flags set at start
  EXPECT_FALSE(EGTBPathChanged);
  Serve("setoption name NalimovPath value /tmp/tb");
  EXPECT_TRUE(EGTBPathChanged);
  EXPECT_EQ(NalimovPath, "/tmp/tb");
  EXPECT_NE(Serve("isready").find("Init EGTB"), std::string::npos);
  Serve("setoption name NalimovPath value /tmp/tb");
  EXPECT_FALSE(EGTBPathChanged);
  EXPECT_EQ(Serve("isready"), "readyok\n");
  Serve("setoption name NalimovCache value 16");
  EXPECT_TRUE(EGTBCacheChanged);
}

namespace {

// A recursive search that plays moves down the first legal line until it is
// told to stop; nothing is taken back, as in an aborted search.
void DiveUntilStopped(TThreadSearch& thread) {
  thread.CountNode();
  if (thread.Ply > 0) thread.UpdateChecks(false);
  thread.GenerateMoves();
  for (int i = thread.First_move[thread.Ply]; i < thread.First_move[thread.Ply + 1]; ++i)
    if (thread.MakeMove(thread.Gen_dat[i].m)) {
      DiveUntilStopped(thread);
      thread.TakeBack();
      return;
    }
}

}  // namespace

TEST(SearchAbort, AnAbortDeepInTheSearchIsCaughtAndTheBoardRebuilt) {
  EnsureEngineTables();
  TProtocolBoard source;
  std::string error;
  ASSERT_TRUE(source.LoadFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", error));
  OutputCapture quiet;
  TMainThreadSearch main(source);
  main.CopyMain();
  main.PrepareBoard();
  main.Checkup_mask = 15;  // a check every 16 nodes, well within the ply limit
  SearchStopped = true;  // "stop" has arrived: the next check aborts
  const bool finished = TThreadSearch::RunAbortable([&] { DiveUntilStopped(main); });
  EXPECT_FALSE(finished);
  EXPECT_GT(main.Ply, 0u);  // the board was left mid-line
  SearchStopped = false;

  main.CopyMain();
  main.PrepareBoard();
  EXPECT_EQ(main.Ply, 0u);
  EXPECT_EQ(main.hash, source.hash);
  EXPECT_EQ(main.Piece, source.Piece);
  EXPECT_TRUE(main.board_is_ok());
}

TEST_F(Threads, EverySearchStartsTheHelpersAfresh) {
  ProcessorCount = 2;
  Serve("setoption name Threads value 2");
  ASSERT_EQ(Main().HelperCount(), 1u);
  TThreadSearch& helper = Main().Helper(0);
  // Left over from a long earlier search: a count near the 32-bit limit and
  // a stored root move the helper found then.
  const auto leftOver = [&] {
    helper.Nodes = 4000000000u;
    helper.couptrouve = true;
  };
  // The helper searches its share of the root.
  leftOver();
  Serve("position startpos moves e2e4 e7e5");
  Serve("go depth 4");
  Main().Thread().waitIdle();
  EXPECT_GT(helper.Nodes, 0u);
  EXPECT_LT(helper.Nodes, 4000000000u);
  EXPECT_FALSE(helper.couptrouve);
  // A single root move goes to the main thread: the helper is dealt nothing.
  leftOver();
  Serve("position fen 1r5k/8/8/8/8/8/8/K6r w - - 0 1");
  Serve("go depth 3");
  Main().Thread().waitIdle();
  EXPECT_EQ(helper.Nodes, 0u);
  EXPECT_FALSE(helper.couptrouve);
}
