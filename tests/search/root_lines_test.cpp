// The lines kept for MultiPV: ranked best first, ties behind the earlier
// line, and the bar a root move must beat once every line is held.
#include <gtest/gtest.h>

#include "search/root_lines.h"

namespace {

TLine LineOf(int from) {
  TLine line;
  line.SetMove(TMove{std::uint8_t(from), std::uint8_t(from + 8), 0, 0});
  return line;
}

int FirstFrom(const TRootLines& lines, int i) { return lines[i].line.moves[0].from; }

TEST(RootLines, KeepTheBestRankedAndRaiseTheBarOnceFull) {
  TRootLines lines;
  lines.Start(3);
  EXPECT_EQ(lines.Bar(-40000), -40000);
  lines.Add(LineOf(1), 10, 4);
  lines.Add(LineOf(2), 30, 4);
  EXPECT_EQ(lines.Bar(-40000), -40000);  // two of three: every move still enters
  lines.Add(LineOf(3), 10, 4);           // ties go behind the earlier line
  EXPECT_EQ(lines.Count(), 3);
  EXPECT_EQ(lines.Bar(-40000), 10);
  EXPECT_EQ(lines.Bar(20), 20);          // never below the window
  lines.Add(LineOf(4), 10, 4);           // no better than the worst: left out
  lines.Add(LineOf(5), 20, 4);
  EXPECT_EQ(lines.Count(), 3);
  EXPECT_EQ(FirstFrom(lines, 0), 2);
  EXPECT_EQ(FirstFrom(lines, 1), 5);
  EXPECT_EQ(FirstFrom(lines, 2), 1);
  EXPECT_TRUE(lines.root_lines_is_ok());
  // A new iteration starts empty; the count asked for is kept in range.
  lines.Start(1000);
  EXPECT_EQ(lines.Count(), 0);
  EXPECT_EQ(lines.Wanted(), MaxMultiPv);
}

}  // namespace
