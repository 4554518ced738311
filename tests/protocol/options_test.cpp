#include <gtest/gtest.h>

#include "protocol/convert.h"
#include "protocol/options.h"

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
