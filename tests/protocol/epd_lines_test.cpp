// Reading EPD test files: which lines are positions, their labels, and the
// colour-mirrored position.
#include <gtest/gtest.h>

#include "protocol/epd_lines.h"

TEST(EpdLines, APositionLineHas64SquaresIn8RanksAndASide) {
  EXPECT_TRUE(IsFenLine("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"));
  EXPECT_TRUE(IsFenLine("8/8/8/8/8/8/8/K6k b - - bm Kb2;"));
  EXPECT_FALSE(IsFenLine("8/8/8/8/8/8/8/K5k b - -")) << "63 squares";
  EXPECT_FALSE(IsFenLine("8/8/8/8/8/8/8K6k w - -")) << "7 ranks";
  EXPECT_FALSE(IsFenLine("8/8/8/8/8/8/8/K6k x - -")) << "no side";
  EXPECT_FALSE(IsFenLine("8/8/8/8/8/8/8/K6k")) << "nothing after the placement";
  EXPECT_FALSE(IsFenLine(""));
}

TEST(EpdLines, TheMirrorSwapsColoursTurnsTheBoardAndKeepsTheOperations) {
  EXPECT_EQ(MirrorEpd("r3k2r/8/8/8/4Pp2/8/8/R3K2R b Kq e3 bm O-O; id \"x\";"),
            "r3k2r/8/8/4pP2/8/8/8/R3K2R w Qk e6 bm O-O; id \"x\";");
  EXPECT_EQ(MirrorEpd("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - "),
            "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - ");
  EXPECT_EQ(MirrorEpd("8/8/8/8/8/8/8/K6k w - c6"), "k6K/8/8/8/8/8/8/8 b - c3");
  // Mirroring twice gives the line back.
  const std::string line = "1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - bm Qd1+; id \"BK.01\";";
  EXPECT_EQ(MirrorEpd(MirrorEpd(line)), line);
}

TEST(EpdLines, EntriesRunToTheFirstLineThatIsNoPosition) {
  const std::vector<std::string> lines = {
      "1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - bm Qd1+; id \"BK.01\";",
      "3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w - - bm d5",
      "3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R4 w - - bm d5;",
      "8/8/8/8/8/8/8/K6k w - - bm Ka2;",
  };
  const std::vector<TEpdEntry> entries = ReadEpdEntries(lines);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].position, "1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - ");
  EXPECT_EQ(entries[0].label, "1.Qd1+");
  EXPECT_EQ(entries[1].label, "2.") << "an operand without ';' still gets its number";
  EXPECT_TRUE(ReadEpdEntries({"", lines[0]}).empty());
  const std::vector<TEpdEntry> bare = ReadEpdEntries({"8/8/8/8/8/8/8/K6k w - -"});
  ASSERT_EQ(bare.size(), 1u);
  EXPECT_EQ(bare[0].position, "8/8/8/8/8/8/8/K6k w - -");
  EXPECT_EQ(bare[0].label, "1.");
}
