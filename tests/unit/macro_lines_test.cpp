#include <gtest/gtest.h>

#include "run/line_processing.h"
#include "run/macro_assembly.h"
#include "run/macro_text.h"

namespace varnok::run {
namespace {

LineVariables Vars() { return {"JDoe", "John", "", "  ", "/opt/corvane/Logs"}; }

std::string Process(std::string line, const LineVariables& vars = Vars()) {
  bool logging = false;
  EXPECT_TRUE(ProcessLine(line, vars, logging));
  EXPECT_FALSE(logging);
  return line;
}

TEST(LineProcessing, LogonNameTakesTheFirstFormPresent) {
  EXPECT_EQ(Process("  sendln '$User$ $NAME$'  "), "sendln 'JDoe John'");
  EXPECT_EQ(Process("$user$ and $USER$"), "$user$ and JDOE");
  EXPECT_EQ(Process("$User$ and $user$"), "$User$ and jdoe");
  EXPECT_EQ(Process("$USER$ $USER$"), "JDOE $USER$");
  EXPECT_EQ(Process("$uSeR$"), "$uSeR$");  // the logon forms are case-exact
}

TEST(LineProcessing, UserVariablesAnyCaseFirstOccurrenceOnlyWhenNotBlank) {
  EXPECT_EQ(Process("$name$ $NAME$"), "John $NAME$");
  // Empty and blank values leave the variable as written, and the line untouched.
  EXPECT_EQ(Process("  send $EMAIL$ $phone$ "), "  send $EMAIL$ $phone$ ");
  LineVariables vars = Vars();
  vars.email = " a@b ";
  vars.phone = "555";
  EXPECT_EQ(Process("$Email$/$PHONE$", vars), " a@b /555");
}

TEST(LineProcessing, LogDirAlwaysReplacedWithASeparator) {
  EXPECT_EQ(Process("log $logdir$x"), "log /opt/corvane/Logs/x");
  LineVariables vars = Vars();
  vars.logDir = "";
  EXPECT_EQ(Process("$LOGDIR$x", vars), "/x");
}

TEST(LineProcessing, LinesWithoutVariablesKeepTheirBlanks) {
  EXPECT_EQ(Process("\t  send 'hello'  "), "\t  send 'hello'  ");
  EXPECT_EQ(Process("$CONNECTION$ stays for the assembly"), "$CONNECTION$ stays for the assembly");
}

TEST(LineProcessing, BlankAndLogitLinesAreDropped) {
  MacroLines lines = {"one", "", " \t\x01 ", "   $logit$ please", "; $LOGIT$", "$NAME$", "two"};
  EXPECT_TRUE(ProcessMacroLines(lines, Vars()));
  EXPECT_EQ(lines, (MacroLines{"one", "; $LOGIT$", "John", "two"}));
  MacroLines noLog = {"; $LOGIT$ only a comment", "x $logit$"};
  EXPECT_FALSE(ProcessMacroLines(noLog, Vars()));
  EXPECT_EQ(noLog.size(), 2u);
}

TEST(MacroText, SplitAndJoinWithCrLf) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd\r\n"), (MacroLines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (MacroLines{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(JoinLines({}), "");
}

TEST(MacroText, CutToCaretLineTakesWholeLines) {
  const std::string text = "l1\r\nl2\r\nl3\r\nl4\r\nl5";
  EXPECT_EQ(CutToCaretLine(text, 3), "l1\r\nl2\r\nl3\r\n");
  EXPECT_EQ(CutToCaretLine(text, 5), text);
  EXPECT_EQ(CutToCaretLine(text, 9), text);
  EXPECT_EQ(CutToCaretLine(text, 1), "l1\r\n");
  EXPECT_EQ(CutToCaretLine(text, 0), "");
  EXPECT_EQ(CutToCaretLine("a\nb\n", 2), "a\nb\n");
}

TEST(MacroText, ConnectionVariableIsTheFirstWordEverywhere) {
  EXPECT_EQ(ReplaceConnectionVariable("router1 backup", "telnet $CONNECTION$; $connection$!"),
            "telnet router1; router1!");
  EXPECT_EQ(ReplaceConnectionVariable("single", "$Connection$"), "single");
  // Inserted text is not searched again.
  EXPECT_EQ(ReplaceConnectionVariable("$CONNECTION$x y", "$CONNECTION$$CONNECTION$"),
            "$CONNECTION$x$CONNECTION$x");
  EXPECT_EQ(ReplaceConnectionVariable("", "a $CONNECTION$ b"), "a  b");
}

TEST(MacroText, EncodeLogName) {
  EXPECT_EQ(EncodeLogName("Site (A)_Lab_"), "Site_%40A%41_Lab_");
  EXPECT_EQ(EncodeLogName("a-b.c/\xE9"), "a-b%46c%47%233");
}

TEST(MacroAssembly, BranchPutsAncestorsFirstAndBuildsTheLogName) {
  std::vector<MacroSource> ancestors = {
      {"Site (A)", "ssh $CONNECTION$\r\n"}, {"", "skip name"}, {"B x", "to $connection$"}};
  AssembledMacro m = AssembleMacro(ancestors, {"Lab", "at $CONNECTION$\r\nlast"});
  EXPECT_EQ(m.lines, (MacroLines{"ssh Site", "skip name", "to B", "at Lab", "last"}));
  EXPECT_EQ(m.logName, "Site (A)_B x_Lab_");
  EXPECT_EQ(EncodeLogName(AssembleMacro({{"Site (A)", ""}}, {"Lab", ""}).logName), "Site_%40A%41_Lab_");

  AssembledMacro alone = AssembleMacro({}, {"C", "c"});
  EXPECT_EQ(alone.lines, MacroLines{"c"});
  EXPECT_EQ(alone.logName, "C_");
  EXPECT_EQ(AssembleMacro({}, {"", ""}).logName, "_");
}

TEST(LogOpening, TwentyOneLinesWithThePathQuoted) {
  MacroLines lines = {"before"};
  AppendLogOpening(lines, "/opt/Logs/A_B_");
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[1], "; Generaing log file name based on current timestamp");
  EXPECT_EQ(lines[2], "fn=\"\"");
  EXPECT_EQ(lines[4], "strconcat fn '/opt/Logs/A_B_'");
  EXPECT_EQ(lines[5], "getdate dt");
  EXPECT_EQ(lines[12], "gettime dt");
  EXPECT_EQ(lines[18], "strconcat fn _dt");
  EXPECT_EQ(lines[19], "strconcat fn '.log'");
  EXPECT_EQ(lines[20], "logopen fn 0 0");
  EXPECT_EQ(lines[21], "end");
}

}  // namespace
}  // namespace varnok::run
