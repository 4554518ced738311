#include <gtest/gtest.h>

#include <memory>

#include "platform/console.h"
#include "protocol/convert.h"
#include "protocol/options.h"
#include "protocol/uci.h"
#include "search/control.h"
#include "support/engine_tables.h"

TEST(Options, ValueIsTheLastWordAndNamesIgnoreLetterCase) {
  EXPECT_EQ(OptionValueString("setoption name NalimovPath value /tb/a b"), "b");
  EXPECT_EQ(OptionValueInt("SETOPTION NAME HASH VALUE 64"), 64);
  EXPECT_EQ(OptionValueInt("setoption name Threads value -3"), -3);
  EXPECT_TRUE(OptionValueBool("setoption name OwnBook value true"));
  EXPECT_FALSE(OptionValueBool("setoption name OwnBook value True"));  // lower case only
  EXPECT_TRUE(ContainsNoCase("xx SETOPTION name HASH value 1", "setoption name hash value"));
  EXPECT_FALSE(ContainsNoCase("setoption name Hash", "setoption name hash value"));
}

TEST(Convert, RefusesWhatIsNotAnInteger) {
  EXPECT_EQ(StrToInt("+12"), 12);
  EXPECT_EQ(StrToInt("-7"), -7);
  for (const char* bad : {"", "abc", "12x", "1.5", "-", "99999999999", " 3"}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const ConvertError& error) {
      EXPECT_EQ(ErrorLine(error), std::string("EConvertError: '") + bad + "' is not a valid integer value");
    }
  }
}

// Settings brought into their range take any number of digits; what is no
// number at all is refused as StrToInt refuses it.
TEST(Convert, ClampedValuesTakeAnyNumberOfDigits) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"250", 250}, {"+7", 7}, {"0", 0}, {"-20", 0}, {"5000", 5000}, {"5001", 5000},
      {"99999999999999999999999", 5000}, {"-99999999999999999999999", 0}, {"0005", 5},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(StrToIntClamped(text, 0, 5000), value) << text;
  for (const char* bad : {"", "fast", "12x", "1.5", "-", "+", "+-3", " 3"}) {
    EXPECT_FALSE(ParseClampedInt(bad, 0, 5000)) << "'" << bad << "'";
    EXPECT_THROW(StrToIntClamped(bad, 0, 5000), ConvertError) << "'" << bad << "'";
  }
}

// The option lines as the command loop serves them, in-process, so that the
// settings themselves can be read.
class OptionLines : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineTables();
    uci = std::make_unique<TUCI>();
  }
  void TearDown() override {
    uci.reset();
    MoveOverhead = DefaultMoveOverhead;
  }
  std::string Serve(const std::string& line) {
    OutputCapture capture;
    uci->HandleLine(line);
    return capture.Text();
  }
  OutputCapture identity;  // swallows the lines printed on construction
  std::unique_ptr<TUCI> uci;
};

// Recognised anywhere in the line and in any letter case, as the other
// options are; the value is kept within 0..5000 ms.
TEST_F(OptionLines, MoveOverheadIsSetWithinItsRange) {
  EXPECT_EQ(MoveOverhead, DefaultMoveOverhead);
  const std::pair<const char*, std::int32_t> cases[] = {
      {"setoption name Move Overhead value 250", 250},
      {"SETOPTION NAME MOVE OVERHEAD VALUE 0", 0},
      {"  setoption name move overhead value 100 \t", 100},
      {"setoption name Move Overhead value -20", 0},
      {"setoption name Move Overhead value 999999999999", MaxMoveOverhead},
  };
  for (const auto& [line, value] : cases) {
    EXPECT_EQ(Serve(line), "") << line;
    EXPECT_EQ(MoveOverhead, value) << line;
  }
  EXPECT_EQ(Serve("setoption name Move Overhead value fast"),
            "info string EConvertError: 'fast' is not a valid integer value\n");
  EXPECT_EQ(MoveOverhead, MaxMoveOverhead) << "a bad value changes nothing";
}
