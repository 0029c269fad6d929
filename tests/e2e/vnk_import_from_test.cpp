// vnk import-from run as the built program: a new file, into an existing
// one, the default source below $HOME, and sources that write nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "capture.h"
#include "files/vnk_file.h"
#include "model/connection_tree.h"
#include "program_dir.h"
#include "tree_helpers.h"

namespace varnok::test {
namespace {

class VnkImportFromTest : public ::testing::Test {
 protected:
  Output vnk(const std::vector<std::string>& args) { return Capture(dir, dir.file("vnk"), args); }
  std::string outline(const std::string& path) {
    ConnectionTree t;
    LoadResult r = LoadConfiguration(t, path, false);
    EXPECT_TRUE(r.ok()) << r.message;
    return Outline(t);
  }

  ProgramDir dir{{"vnk"}};
  std::string config = dir.scratch("ssh_config");
};

TEST_F(VnkImportFromTest, SshConfigBecomesJumpTreeWithNotesOnStandardError) {
  WriteFile(config, "Host *.lab\n  User ops\nHost db.lab\n  ProxyJump bastion\nHost bastion\nMatch all\n");
  const std::string out = dir.scratch("new.vnk");
  Output o = vnk({"import-from", "ssh", config, "-o", out});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(outline(out), "bastion\n  db.lab\n");
  EXPECT_EQ(o.out, "Imported 2 connections; 2 entries skipped or doubtful.\n");
  EXPECT_EQ(o.err,
            "skipped: " + config +
                ", line 1: Host *.lab: a pattern, not a connection: its settings apply "
                "to the hosts it matches\nskipped: " +
                config +
                ", line 6: Match all: Match blocks are not evaluated; their settings are not imported\n");
}

TEST_F(VnkImportFromTest, IntoAnExistingConfigurationRenamesClashesAndKeepsWhatWasThere) {
  const std::string target = dir.scratch("net.vnk");
  WriteFile(dir.scratch("a.csv"), "name,host\nweb,10.0.0.1\n");
  ASSERT_EQ(vnk({"import-from", "csv", dir.scratch("a.csv"), "-o", target}).status, 0);
  WriteFile(dir.scratch("b.csv"), "name,host,protocol\nweb,10.0.0.2,telnet\nsw,10.0.0.3,telnet\n");
  Output o = vnk({"import-from", "csv", dir.scratch("b.csv"), "--into", target});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(outline(target), "web\nCopy of web\nsw\n");
  EXPECT_EQ(
      o.out,
      "Imported 2 connections.\n1 imported item was renamed to avoid duplicate names among siblings.\n");
}

TEST_F(VnkImportFromTest, DefaultSourceIsBelowHome) {
  dir.env["HOME"] = dir.scratch("home");
  std::filesystem::create_directories(dir.scratch("home/.putty/sessions"));
  WriteFile(dir.scratch("home/.putty/sessions/My%20Box"), "HostName=box\nProtocol=ssh\n");
  Output o = vnk({"import-from", "putty", "-o", "-"});
  ASSERT_EQ(o.status, 0) << o.err;
  ConnectionTree t;
  ASSERT_TRUE(ReadConfiguration(t, o.out, false).ok());
  EXPECT_EQ(Outline(t), "My Box\n");
  EXPECT_EQ(o.err, "Imported 1 connection.\n");
}

TEST_F(VnkImportFromTest, NothingIsWrittenWhenTheSourceFailsOrHoldsNoConnection) {
  const std::string target = dir.scratch("keep.vnk");
  WriteFile(dir.scratch("a.csv"), "name\nkeep\n");
  ASSERT_EQ(vnk({"import-from", "csv", dir.scratch("a.csv"), "-o", target}).status, 0);
  const std::string before = ReadFile(target);

  WriteFile(dir.scratch("junk"), std::string("Host x\n\0\0", 9));
  WriteFile(dir.scratch("patterns"), "Host *\n  User a\n");
  // A loop of ProxyJumps still imports its hosts, each without the jump.
  WriteFile(dir.scratch("loop"), "Host a\n  ProxyJump b\nHost b\n  ProxyJump a\n");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string errHas;
  };
  const std::vector<Case> cases = {
      {{"ssh", dir.scratch("junk")},
       1,
       "is not an OpenSSH client config (it holds binary data).\nNothing was written."},
      {{"ssh", dir.scratch("patterns")}, 1, "holds no connections to import.\nNothing was written."},
      {{"ssh", dir.scratch("missing")}, 1, "missing"},
      {{"csv", dir.scratch("a.csv")}, 2, "-o or --into"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"import-from"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    if (c.status == 1) args.insert(args.end(), {"--into", target});
    Output o = vnk(args);
    EXPECT_EQ(o.status, c.status) << c.args[1];
    EXPECT_NE(o.err.find(c.errHas), std::string::npos) << o.err;
    EXPECT_EQ(ReadFile(target), before) << c.args[1];
  }
  Output loop = vnk({"import-from", "ssh", dir.scratch("loop"), "--into", target});
  ASSERT_EQ(loop.status, 0) << loop.err;
  EXPECT_EQ(outline(target), "keep\na\nb\n");
  EXPECT_NE(
      loop.err.find("doubtful: " + dir.scratch("loop") + ", line 1: Host a: a loop of jumps: a -> b -> a"),
      std::string::npos)
      << loop.err;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer's shadow memory needs terabytes of address space
#else
constexpr bool kSanitized = false;
#endif

TEST_F(VnkImportFromTest, HugeLinesAndJunkStayWithinTwiceTheInputPlus100MB) {
  if (kSanitized) GTEST_SKIP() << "address-space limits do not apply under the sanitizers";
  const std::string line(100'000'000, 'x');
  WriteFile(dir.scratch("long"), "Host a\n  HostName " + line + "\nHost b\n");
  WriteFile(dir.scratch("long.csv"), "name,host\nbig," + line + "\nsmall,h\n");
  std::string junk(100'000'000, '\0');
  for (std::size_t i = 0; i < junk.size(); i += 7) junk[i] = static_cast<char>(i * 31);
  WriteFile(dir.scratch("junk"), junk);
  struct Case {
    std::string format, source;
    int status;
    std::string outline, errHas;
  };
  const std::vector<Case> cases = {
      {"ssh", "long", 0, "a\nb\n", "line 2: the line is longer than 65536 bytes"},
      {"csv", "long.csv", 0, "small\n", "line 2: the row is longer than 1 MiB"},
      {"ssh", "junk", 1, "", "is not an OpenSSH client config (it holds binary data)"},
      {"putty", "junk", 1, "", "is not a PuTTY session or registry export (it holds binary data)"},
  };
  for (const Case& c : cases) {
    CaptureOptions bound;
    bound.addressSpaceBytes =
        2 * std::filesystem::file_size(dir.scratch(c.source)) + (std::size_t{100} << 20);
    const std::string out = dir.scratch(c.source + ".vnk");
    Output o =
        Capture(dir, dir.file("vnk"), {"import-from", c.format, dir.scratch(c.source), "-o", out}, bound);
    EXPECT_EQ(o.status, c.status) << c.source << o.err;
    EXPECT_NE(o.err.find(c.errHas), std::string::npos) << o.err;
    if (c.status == 0)
      EXPECT_EQ(outline(out), c.outline);
    else
      EXPECT_FALSE(std::filesystem::exists(out));
  }
}

}  // namespace
}  // namespace varnok::test
