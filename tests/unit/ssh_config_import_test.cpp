// The OpenSSH client config as an import source: one table of configs, each
// with the tree it must give, texts its macros must hold and its notes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "files/ssh_config.h"
#include "foreign_helpers.h"
#include "properties/color_set.h"
#include "properties/macro_templates.h"
#include "run/node_request.h"
#include "temp_dir.h"

namespace varnok {
namespace {

struct SshCase {
  const char* title;
  std::map<std::string, std::string> files;  // below ~/.ssh; "config" is read
  const char* outline;
  std::vector<std::pair<std::string, std::string>> macroHolds;  // node path, text
  std::vector<std::string> notes;                               // each in some note
};

const std::vector<SshCase> kCases = {
    {"several names per line; patterns give settings, the first value wins",
     {{"config",
       "# comment\n"
       "Host web1 web2 *.lab\n"
       "  User ops\n"
       "Host web1\n"
       "  User root\n"
       "  HostName=10.0.0.1\n"
       "  UnknownKeyword yes\n"
       "Host *\n"
       "  PORT 2222\n"
       "  Port 22\n"}},
     "web1\nweb2\n",
     {{"web1", "_constr='10.0.0.1:2222 /ssh /2 /auth=password /user='"},
      {"web1", "/user=ops /passwd=<password>'"},
      {"web1", "settitle 'Connected to web1'"},
      {"web2", "_constr='web2:2222 /ssh /2"}},
     {"config, line 2: Host *.lab: a pattern, not a connection", "config, line 8: Host *: a pattern"}},
    {"a jump host holds every target; chains nest; a hop that is no Host is made",
     {{"config",
       "Host bastion\n  HostName bastion.example.com\n  User jump\n"
       "Host db\n  ProxyJump bastion\n"
       "Host app\n  ProxyJump bastion\n"
       "Host deep\n  ProxyJump bastion,inner.example.com:2200\n"}},
     "bastion\n  db\n  app\n  inner.example.com:2200\n    deep\n",
     {{"bastion/inner.example.com:2200", "connect 'inner.example.com:2200 /ssh /2'"}},
     {}},
    {"ProxyJump none; a hop with another user is a connection of its own",
     {{"config",
       "Host gw\n  ProxyJump none\n"
       "Host *\n  ProxyJump ssh://admin@gw:2022\n"
       "Host a\n"}},
     "gw\nadmin@gw:2022\n  a\n",
     {{"admin@gw:2022", "connect 'gw:2022 /ssh /2"}, {"admin@gw:2022", "/user=admin"}},
     {"config, line 3: Host *: a pattern"}},
    {"a jump host defined after its targets; its own jump is followed",
     {{"config", "Host t\n  ProxyJump mid\nHost mid\n  ProxyJump edge\nHost edge\n"}},
     "edge\n  mid\n    t\n",
     {},
     {}},
    {"a loop of jumps: all imported without their jump hosts",
     {{"config", "Host a\n  ProxyJump b\nHost b\n  ProxyJump a\nHost c\n  ProxyJump a\n"}},
     "a\nb\nc\n",
     {},
     {"config, line 1: Host a: a loop of jumps: a -> b -> a; imported without its jump host",
      "config, line 5: Host c: a loop of jumps"}},
    {"jump hosts that cannot be resolved",
     {{"config",
       "Host p\n  ProxyJump gw*\nHost q\n  ProxyJump gw:99999\nHost r\n  ProxyJump [::1\n"
       "Host t\n  ProxyJump a,-b\n"
       "Host s\n  ProxyCommand ssh -W %h:%p gw\n  ProxyJump gw\n"}},
     "p\nq\nr\nt\ns\n",
     {},
     {"Host p: the jump host \"gw*\" cannot be resolved (a pattern, not a host)",
      "Host q: the jump host \"gw:99999\" cannot be resolved (the port is not a number",
      "Host r: the jump host \"[::1\" cannot be resolved",
      "Host s: ProxyCommand (config, line 10) is not imported",
      "Host t: the jump host \"-b\" cannot be resolved (a name beginning with \"-\" marks a separator "
      "line)"}},
    {"Include: relative to ~/.ssh, globs in order, inside a block, itself, missing; Match skipped",
     {{"config",
       "Include config.d/*\n"
       "Include ~/.ssh/self missing.conf\n"
       "Match host x\n  User matched\n"
       "Host outer\n  Include outer.conf\n  Port 2200\n"},
      {"config.d/20-b", "Host inc-b\n"},
      {"config.d/10-a", "Host inc-a\n  HostName 1.2.3.4\n"},
      {"config.d/.hidden", "Host hidden\n"},
      {"self", "Include self\nHost selfhost\n"},
      {"outer.conf", "User fromInclude\nHost nested\n"}},
     "inc-a\ninc-b\nselfhost\nouter\nnested\n",
     {{"inc-a", "connect '1.2.3.4 /ssh /2'"},
      {"outer", "_constr='outer:2200 /ssh /2 /auth=password"},
      {"outer", "/user=fromInclude /passwd"},
      {"nested", "connect 'nested /ssh /2'"}},
     {"self, line 1: Include self: self includes itself",
      "config, line 2: Include missing.conf: no file matches missing.conf",
      "config, line 3: Match host x: Match blocks are not evaluated"}},
    {"keys and tokens: IdentityFile with ~ and %h picks the public-key template",
     {{"config", "Host k\n  HostName %h.example.com\n  IdentityFile \"~/.ssh/id %h\"\n  User u\n"}},
     "k\n",
     {{"k", "/user=u /passwd=<password> /keyfile=HOME/.ssh/id k.example.com'"},
      {"k", "_constr='k.example.com /ssh /2 /auth=publickey /user='"}},
     {}},
    {"hostile lines: an unclosed quote, a separator name, a host without name",
     {{"config", "Host \"open\nHost -x ok\nHost\nHost \"\" e\n"}},
     "ok\ne\n",
     {},
     {"a double quote is not closed", "Host -x: a name beginning with \"-\"", "Host without a name",
      "config, line 4: Host \"\" e: an empty name"}},
};

TEST(SshConfigImport, EveryRuleOfTheTable) {
  for (const SshCase& c : kCases) {
    SCOPED_TRACE(c.title);
    test::TempDir home;
    for (const auto& [name, text] : c.files) {
      std::filesystem::create_directories(std::filesystem::path(home.file(".ssh/" + name)).parent_path());
      test::WriteFile(home.file(".ssh/" + name), text);
    }
    ForeignOptions options{"/nonexistent", home.path()};
    ForeignImport found = ReadForeignSource(ForeignFormat::OpenSsh, home.file(".ssh/config"), options);
    ASSERT_TRUE(found.ok()) << found.error;
    const std::string notes = test::NotesText(found);
    ConnectionTree tree;
    EXPECT_EQ(test::AppendAndOutline(tree, found), c.outline);
    for (const auto& [path, text] : c.macroHolds) {
      std::string expected = text;
      if (auto at = expected.find("HOME"); at != std::string::npos) expected.replace(at, 4, home.path());
      EXPECT_NE(test::MacroOf(test::NodeAtPath(tree, path)).find(expected), std::string::npos)
          << path << " lacks " << expected << "\n"
          << test::MacroOf(test::NodeAtPath(tree, path));
    }
    const std::string shortNotes = [&] {
      std::string s = notes;
      for (std::size_t at; (at = s.find(home.path() + "/.ssh/")) != std::string::npos;)
        s.erase(at, home.path().size() + 6);
      return s;
    }();
    for (const std::string& n : c.notes)
      EXPECT_NE(shortNotes.find(n), std::string::npos) << n << " not in\n" << shortNotes;
    if (c.notes.empty()) {
      EXPECT_EQ(shortNotes, "");
    }
  }
}

TEST(SshConfigImport, PopupNamesFileAndLineAndTheRecordIsAsAddChildMakesIt) {
  test::TempDir home;
  test::WriteFile(home.file("config"), "\nHost a\n  ProxyJump gw.example.com\n");
  ForeignImport found =
      ReadForeignSource(ForeignFormat::OpenSsh, home.file("config"), {"/nonexistent", home.path()});
  ConnectionTree tree;
  ASSERT_EQ(test::AppendAndOutline(tree, found), "gw.example.com\n  a\n");
  EXPECT_EQ(test::PopupOf(test::NodeAtPath(tree, "gw.example.com/a")),
            "Imported from " + home.file("config") + ", line 2.");
  EXPECT_EQ(test::PopupOf(test::NodeAtPath(tree, "gw.example.com")),
            "Imported from " + home.file("config") + ", line 3 (ProxyJump gw.example.com).");
  const rVTNodeData& a = test::NodeAtPath(tree, "gw.example.com/a")->data();
  EXPECT_TRUE(a.StartLogging);
  EXPECT_EQ(std::string_view(a.Colors), properties::DefaultColorString("/nonexistent"));
  EXPECT_TRUE(a.Schedule.empty());
}

TEST(SshConfigImport, BranchMacroPlaysTheBastionFirstByteForByte) {
  test::TempDir home;
  test::WriteFile(home.file("config"),
                  "Host target\n  HostName 10.1.0.5\n  Port 2222\n  ProxyJump bastion\n"
                  "Host bastion\n  HostName bastion.example.com\n  User jump\n");
  ForeignImport found =
      ReadForeignSource(ForeignFormat::OpenSsh, home.file("config"), {"/nonexistent", home.path()});
  ConnectionTree tree;
  ASSERT_EQ(test::AppendAndOutline(tree, found), "bastion\n  target\n");
  run::MacroRequest request =
      run::RequestForNode(test::NodeAtPath(tree, "bastion/target"), true, "/nonexistent");
  request.startLogging = false;
  const std::string assembled = run::JoinLines(run::BuildMacroLines(request, "", "jdoe", true));

  auto filled = [](int tag, std::vector<std::pair<std::string, std::string>> values) {
    std::string text(properties::MacroTemplateText(tag));
    for (const auto& [from, to] : values)
      for (std::size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
    return text + "\r\n";
  };
  const std::string expected =
      filled(6, {{"<server_name_or_IP_address>", "bastion.example.com"},
                 {"<Server_name_or_site_name>", "bastion"},
                 {"<username>", "jump"}}) +
      filled(5, {{"<server_name_or_IP_address>", "10.1.0.5:2222"}, {"<Server_name_or_site_name>", "target"}});
  EXPECT_EQ(assembled, expected);
}

TEST(SshConfigImport, HostileConfigsGiveMessagesAndStayBounded) {
  test::TempDir home;
  // Binary junk.
  test::WriteFile(home.file("junk"), std::string("Host a\n\0\x01\xff", 10));
  ForeignImport junk =
      ReadForeignSource(ForeignFormat::OpenSsh, home.file("junk"), {"/nonexistent", home.path()});
  EXPECT_EQ(junk.error, home.file("junk") + " is not an OpenSSH client config (it holds binary data).");
  EXPECT_TRUE(junk.roots.empty());
  // A missing file.
  ForeignImport missing =
      ReadForeignSource(ForeignFormat::OpenSsh, home.file("nope"), {"/nonexistent", home.path()});
  EXPECT_NE(missing.error.find(home.file("nope")), std::string::npos);
  // 10,000 Includes of one file, and a line of 1 MB.
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "Include " + home.file("one") + "\n";
  many += "Host " + std::string(1 << 20, 'x') + "\nHost last\n";
  test::WriteFile(home.file("many"), many);
  test::WriteFile(home.file("one"), "Host one\n");
  ForeignImport bounded =
      ReadForeignSource(ForeignFormat::OpenSsh, home.file("many"), {"/nonexistent", home.path()});
  ASSERT_TRUE(bounded.ok()) << bounded.error;
  ConnectionTree tree;
  EXPECT_EQ(test::AppendAndOutline(tree, bounded), "one\nlast\n");
  const std::string notes = test::NotesText(bounded);
  EXPECT_NE(notes.find("more than 1024 Include files; the rest are not read"), std::string::npos) << notes;
  EXPECT_NE(notes.find("many, line 10001: the line is longer than 65536 bytes"), std::string::npos) << notes;
  // A deep chain of Include files stops at the depth limit.
  for (int i = 0; i < 20; ++i)
    test::WriteFile(home.file("d" + std::to_string(i)), "Include " + home.file("d" + std::to_string(i + 1)) +
                                                            "\nHost h" + std::to_string(i) + "\n");
  ForeignImport deep =
      ReadForeignSource(ForeignFormat::OpenSsh, home.file("d0"), {"/nonexistent", home.path()});
  EXPECT_EQ(deep.connections, kSshMaxIncludeDepth);
  EXPECT_NE(test::NotesText(deep).find("Include files nest deeper than 16 levels"), std::string::npos);
}

TEST(SshConfigImport, ConnectionLimitStopsWithOneNote) {
  test::TempDir home;
  std::string text;
  for (int i = 0; i < 30; ++i) text += "Host h" + std::to_string(i) + "\n";
  test::WriteFile(home.file("config"), text);
  ForeignOptions options{"/nonexistent", home.path(), 25};
  ForeignImport found = ReadForeignSource(ForeignFormat::OpenSsh, home.file("config"), options);
  EXPECT_EQ(found.connections, 25);
  EXPECT_EQ(test::NotesText(found), "more than 25 connections; the rest are not imported\n");
}

TEST(SshConfigImport, PatternsMatchAsSshMatchesThem) {
  EXPECT_TRUE(WildcardMatch("*.corp", "a.corp"));
  EXPECT_FALSE(WildcardMatch("*.corp", "a.corpx"));
  EXPECT_TRUE(WildcardMatch("h?st*", "host-1"));
  EXPECT_FALSE(WildcardMatch("h?st", "hst"));
  SshBlock block;
  block.patterns = {"*.corp", "!db.corp"};
  EXPECT_TRUE(BlockApplies(block, "web.corp"));
  EXPECT_FALSE(BlockApplies(block, "db.corp"));
  EXPECT_FALSE(BlockApplies(block, "web.lab"));
}

}  // namespace
}  // namespace varnok
