// vnk given inputs and outputs that are not ordinary files, damaged or huge
// files, and names meant for the terminal: it refuses, fails with a reason,
// and never writes a half or empty result.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "capture.h"
#include "files/vnk_file.h"
#include "model/connection_tree.h"
#include "program_dir.h"

namespace varnok::test {
namespace {

rVTNodeData Node(const std::string& name, std::int32_t level = 1) {
  rVTNodeData d;
  d.Name = name;
  d.Level = level;
  d.Colors = "0:0:0:192:192:192:255:255:255:0:0:128:255:0:0:0:0:0";
  return d;
}

class VnkHostileInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.insert(tree.top(), 0, ConnectionTree::newNode(Node("Site")));
    tree.insert(tree.top(), 1, ConnectionTree::newNode(Node("Edge")));
    ASSERT_TRUE(SaveConfiguration(tree, config));
  }

  Output vnk(const std::vector<std::string>& args, const CaptureOptions& options = {}) {
    return Capture(dir, dir.file("vnk"), args, options);
  }

  ProgramDir dir{{"vnk"}};
  ConnectionTree tree;
  std::string config = dir.scratch("net.vnk");
};

constexpr int kKilledByAlarm = 128 + SIGALRM;

CaptureOptions Within(unsigned seconds) {
  CaptureOptions o;
  o.seconds = seconds;
  return o;
}
CaptureOptions OutputTo(const std::string& path) {
  CaptureOptions o;
  o.standardOutput = path;
  return o;
}
CaptureOptions AddressSpace(std::size_t bytes) {
  CaptureOptions o;
  o.addressSpaceBytes = bytes;
  return o;
}

TEST_F(VnkHostileInputTest, FifoInputsAreRefusedWithoutWaiting) {
  const std::string pipe = dir.scratch("pipe.vnk"), plfPipe = dir.scratch("pipe.plf");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(plfPipe.c_str(), 0600), 0);
  const std::string before = ReadFile(config);
  const std::vector<std::vector<std::string>> commands = {{"list", pipe},
                                                          {"convert", pipe, dir.scratch("out.vnk")},
                                                          {"convert", plfPipe, dir.scratch("out.vnk")},
                                                          {"import", config, plfPipe},
                                                          {"lex", pipe}};
  for (const auto& args : commands) {
    // Nobody ever writes into the FIFO: a reader that opens it blocks until the alarm.
    Output o = vnk(args, Within(10));
    EXPECT_EQ(o.status, 1) << args[0] << " " << args[1] << (o.status == kKilledByAlarm ? ": hung" : "");
    EXPECT_NE(o.err.find("FIFO"), std::string::npos) << o.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.scratch("out.vnk")));
  EXPECT_EQ(ReadFile(config), before);
}

TEST_F(VnkHostileInputTest, OutputThatCannotBeWrittenFailsWithTheReason) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"list", "--json", config}, std::vector<std::string>{"list", config},
        std::vector<std::string>{"convert", config, "-"}}) {
    Output o = vnk(args, OutputTo("/dev/full"));
    EXPECT_EQ(o.status, 1) << args[0];
    EXPECT_NE(o.err.find("cannot write the output: No space left on device"), std::string::npos) << o.err;
  }
}

TEST_F(VnkHostileInputTest, TargetsThatAreNoFilesAreRefusedAndDashIsStandardOutput) {
  const std::string pipe = dir.scratch("out.vnk");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  Output o = vnk({"convert", config, pipe}, Within(10));
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("is a FIFO, not a regular file; nothing was written"), std::string::npos) << o.err;
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));

  o = vnk({"convert", config, "-"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, ReadFile(config));
  o = vnk({"macro", config, "Site", "-o", "-"});
  EXPECT_EQ(o.status, 1) << "no emulator in this program directory: " << o.out;
  EXPECT_FALSE(std::filesystem::exists(dir.file("-")));
}

TEST_F(VnkHostileInputTest, GarbageNamedPlfReplacesNothing) {
  const std::string junk = dir.scratch("junk.plf");
  WriteFile(junk, std::string("\x7f"
                              "ELF\2\1\1\0 garbage = not a section",
                              32));
  const std::string before = ReadFile(config);
  Output o = vnk({"convert", junk, config});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("not a .PLF file"), std::string::npos) << o.err;
  EXPECT_EQ(ReadFile(config), before);
  o = vnk({"import", config, junk});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("Nothing was written."), std::string::npos) << o.err;
  EXPECT_EQ(ReadFile(config), before);
}

TEST_F(VnkHostileInputTest, OutlineEscapesControlCharactersAndStopsIndentingDeepChains) {
  ConnectionTree deep;
  deep.insert(deep.top(), 0, ConnectionTree::newNode(Node("\x1b]0;owned\x07red\x1b[31m\r\nline\x7f")));
  TreeNode* parent = deep.top();
  for (int level = 1; level <= 40; ++level)
    parent = deep.insert(parent, parent->childCount(), ConnectionTree::newNode(Node("n", level)));
  ASSERT_TRUE(SaveConfiguration(deep, config));
  Output o = vnk({"list", config});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out.substr(0, o.out.find('\n') + 1), "\\x1b]0;owned\\x07red\\x1b[31m\\x0d\\x0aline\\x7f\n");
  const std::string indent(62, ' ');
  EXPECT_NE(o.out.find("\n" + indent + "n\n"), std::string::npos) << "level 32 is indented";
  EXPECT_NE(o.out.find("\n" + indent + "(level 33) n\n"), std::string::npos);
  EXPECT_TRUE(o.out.ends_with("\n" + indent + "(level 40) n\n"));
}

TEST_F(VnkHostileInputTest, C1ControlsAreEscapedInTheOutlineAndTheTimetable) {
  ConnectionTree named;
  // 0x9B alone is CSI to an 8-bit terminal, U+009B (C2 9B) to a UTF-8 one;
  // the continuation bytes of U+20AC (E2 82 AC) and a Latin-1 e acute stay.
  rVTNodeData site = Node(
      "\x9b"
      "31m\xc2\x9b"
      "2J \xe2\x82\xac caf\xe9");
  site.Macro = "x";
  site.Schedule = "=0 9 * * *";
  TreeNode* top = named.insert(named.top(), 0, ConnectionTree::newNode(site));
  rVTNodeData child = Node("\x1b]0;owned\x07\r\nfake line", 2);
  child.Macro = "y";
  child.Schedule = "=0 9 * * *";
  named.insert(top, 0, ConnectionTree::newNode(child));
  rVTNodeData broken = Node("bad\x1b[2J", 1);
  broken.Macro = "z";
  broken.Schedule = "=0 9 31 2 *";
  named.insert(named.top(), 1, ConnectionTree::newNode(broken));
  ASSERT_TRUE(SaveConfiguration(named, config));

  const std::string escapedSite = "\\x9b31m\\xc2\\x9b2J \xe2\x82\xac caf\xe9";
  Output o = vnk({"list", config});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, escapedSite + "\n  \\x1b]0;owned\\x07\\x0d\\x0afake line\nbad\\x1b[2J\n");

  o = vnk({"next", config, "--from", "2026-05-04 08:00", "-n", "2"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "2026-05-04 09:00\t" + escapedSite + "\n2026-05-04 09:00\t" + escapedSite +
                       "/\\x1b]0;owned\\x07\\x0d\\x0afake line\n");
  EXPECT_EQ(o.err, "vnk: bad\\x1b[2J: the schedule cannot run: none of its days exists in its months\n");
}

TEST_F(VnkHostileInputTest, OpenDescriptorTargetsAreAppendedToNotReplaced) {
  // vnk convert net.vnk /dev/stdout >> log.txt, and the other names of that output.
  const std::string log = dir.scratch("log.txt");
  CaptureOptions appending = OutputTo(log);
  appending.appendOutput = true;
  WriteFile(log, "earlier lines\n");
  std::string expected = "earlier lines\n";
  for (const std::string target : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
    Output o = vnk({"convert", config, target}, appending);
    ASSERT_EQ(o.status, 0) << target << ": " << o.err;
    expected += ReadFile(config) + "2 nodes written to " + target + "\n";
    EXPECT_EQ(ReadFile(log), expected) << target;
  }
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer's shadow memory needs terabytes of address space
#else
constexpr bool kSanitized = false;
#endif

TEST_F(VnkHostileInputTest, HugeNameStaysWithinTwiceTheInputPlus100MB) {
  if (kSanitized) GTEST_SKIP() << "address-space limits do not apply under the sanitizers";
  ConnectionTree huge;
  huge.insert(huge.top(), 0, ConnectionTree::newNode(Node(std::string(20'000'000, 'a'))));
  huge.insert(huge.top(), 1, ConnectionTree::newNode(Node("b")));
  const std::string big = dir.scratch("big.vnk");
  ASSERT_TRUE(SaveConfiguration(huge, big));
  const std::size_t input = std::filesystem::file_size(big);
  const CaptureOptions bound = AddressSpace(2 * input + (100u << 20));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"list", big}, std::vector<std::string>{"list", "--json", big},
        std::vector<std::string>{"convert", big, dir.scratch("copy.vnk")},
        std::vector<std::string>{"convert", big, dir.scratch("copy.plf")},
        std::vector<std::string>{"import", config, big, "-o", dir.scratch("merged.vnk")}}) {
    Output o = vnk(args, bound);
    EXPECT_EQ(o.status, 0) << args[0] << " " << args[1] << ": " << o.err;
  }
  EXPECT_EQ(std::filesystem::file_size(dir.scratch("copy.vnk")), input);

  // Far less memory than the input needs: a message, no crash, nothing written.
  Output o = vnk({"convert", big, dir.scratch("small.vnk")}, AddressSpace(input + (40u << 20)));
  EXPECT_EQ(o.status, 1) << o.err;
  EXPECT_NE(o.err.find("not enough memory"), std::string::npos) << o.err;
  EXPECT_FALSE(std::filesystem::exists(dir.scratch("small.vnk")));
}

}  // namespace
}  // namespace varnok::test
