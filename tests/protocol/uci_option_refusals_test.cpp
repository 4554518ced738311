// Sizes outside an option's advertised range: the engine says it refuses
// them and keeps what it had, and still searches afterwards.
#include <gtest/gtest.h>

#include "support/engine_session.h"

namespace {

class UciOptionRefusals : public EngineSession {};

TEST_F(UciOptionRefusals, TableSizesOutsideTheirRangeAreRefusedAndTheOldOnesKept) {
  EXPECT_EQ(Answer("setoption name Hash value 0"),
            Lines{"info string Hash 0 refused: it takes 1 to 1024 MB; 32 kept"});
  // The value is all that follows "value": a second "name" is no new option.
  EXPECT_EQ(Answer("setoption name Hash value junk name Threads value -3"),
            Lines{"info string EConvertError: 'junk name Threads value -3' is not a valid integer value"});
  EXPECT_EQ(Answer("setoption name Hash value 1025"),
            Lines{"info string Hash 1025 refused: it takes 1 to 1024 MB; 32 kept"});
  const Lines cache = Answer("setoption name NalimovCache value 5000");
  ASSERT_EQ(cache.size(), 1u);
  EXPECT_TRUE(cache[0].starts_with("info string NalimovCache 5000 refused: it takes 1 to 1024 MB; ")) << cache[0];
  EXPECT_TRUE(Answer("setoption name Hash value 2").empty());
  EXPECT_EQ(Answer("setoption name Hash value -1"),
            Lines{"info string Hash -1 refused: it takes 1 to 1024 MB; 2 kept"});
  // A second thread (where the machine allows one) sizes its tables from the size kept.
  Answer("setoption name Threads value 2");
  engine.Send("position startpos moves e2e4");
  engine.Send("go depth 3");
  const auto best = BestMove(20000);
  ASSERT_TRUE(best);
  EXPECT_NE(*best, "bestmove 0000");
}

}  // namespace
