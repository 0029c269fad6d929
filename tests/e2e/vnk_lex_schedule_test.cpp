// `vnk lex` and `vnk schedule` run as the built program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture.h"
#include "temp_dir.h"

namespace varnok::test {
namespace {

// Runs vnk with the arguments in a program directory of its own.
Output Vnk(const std::vector<std::string>& args) {
  ProgramDir dir{{"vnk"}};
  return Capture(dir, dir.file("vnk"), args);
}

TEST(VnkLex, PrintsOneLinePerTokenForEveryKindOfLineEnd) {
  TempDir dir;
  WriteFile(dir.file("m.cvl"), "connect 'host'\r\n\r\n:top+;x}\nSEND\rparam2 1a");
  Output r = Vnk({"lex", dir.file("m.cvl")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "1:0:7:Key\n1:7:1:Other\n1:8:6:String\n"
            "3:0:5:Label\n3:5:3:Comment\n"
            "4:0:4:Key\n"
            "5:0:6:SysVar\n5:6:1:Other\n5:7:1:Other\n5:8:1:Identifier\n");
}

TEST(VnkLex, MissingFileFailsAndNoArgumentIsAUsageError) {
  TempDir dir;
  EXPECT_EQ(Vnk({"lex", dir.file("missing.cvl")}).status, 1);
  EXPECT_EQ(Vnk({"lex", dir.path()}).status, 1);
  EXPECT_EQ(Vnk({"lex"}).status, 2);
}

TEST(VnkSchedule, PrintsTheVerifiedValueAndTheCorrections) {
  EXPECT_EQ(Vnk({"schedule", "minute", "30,5,5,70"}).out, "5,30,59\n2\n");
  EXPECT_EQ(Vnk({"schedule", "weekday", "0,8"}).out, "1,7\n2\n");
  EXPECT_EQ(Vnk({"schedule", "month", "1,*"}).out, "*\n0\n");
  EXPECT_EQ(Vnk({"schedule", "hour", ""}).out, "23\n2\n");
  EXPECT_EQ(Vnk({"schedule", "day", "--", "-5,x"}).out, "1,31\n3\n");
  EXPECT_EQ(Vnk({"schedule", "second", "1"}).status, 2);
  EXPECT_EQ(Vnk({"schedule", "minute"}).status, 2);
}

}  // namespace
}  // namespace varnok::test
