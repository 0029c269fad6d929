#include "files/plf_value.h"

#include <gtest/gtest.h>

#include "common/ini_file.h"

namespace varnok {
namespace {

TEST(PlfValue, IntegersAreDecimalOrHexadecimalAndWholeValues) {
  EXPECT_EQ(ParseProfileInteger("0"), 0);
  EXPECT_EQ(ParseProfileInteger("17"), 17);
  EXPECT_EQ(ParseProfileInteger("-3"), -3);
  EXPECT_EQ(ParseProfileInteger("+4"), 4);
  EXPECT_EQ(ParseProfileInteger("0x1F"), 31);
  EXPECT_EQ(ParseProfileInteger("0X1f"), 31);
  EXPECT_EQ(ParseProfileInteger("0xFFFFFFFF"), -1);
  EXPECT_EQ(ParseProfileInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseProfileInteger("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"", "-", "+", "x", "0x", "12abc", "1 2", "2147483648", "-2147483649", "0x100000000",
                          "0x-1", "--1", "+-1", " 1", "1.0", "0xG"}) {
    EXPECT_EQ(ParseProfileInteger(bad), std::nullopt) << bad;
  }
}

TEST(PlfValue, QuotedValuesSurviveTheTrimmingOfTheIniReader) {
  for (std::string value :
       {std::string("plain"), std::string(""), std::string(" lead"), std::string("trail\t"),
        std::string("\"quoted\""), std::string("\""), std::string("\"\""), std::string("  "),
        std::string("a \"b\" c"), std::string("\"half")}) {
    IniFile ini;
    ASSERT_TRUE(ini.set("PLF", "k", QuotePlfValue(value)));
    IniFile back = IniFile::parse(ini.serialize());
    EXPECT_EQ(UnquotePlfValue(back.get("PLF", "k").value()), value) << "[" << value << "]";
  }
  EXPECT_EQ(QuotePlfValue("plain text"), "plain text");
  EXPECT_EQ(QuotePlfValue(" x"), "\" x\"");
  EXPECT_EQ(UnquotePlfValue("\"Router\""), "Router");
  EXPECT_EQ(UnquotePlfValue("\"Router"), "\"Router");
}

}  // namespace
}  // namespace varnok
