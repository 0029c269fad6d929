// PuTTY sessions and CSV tables as import sources: one table per format.
#include <gtest/gtest.h>

#include <tuple>

#include "files/csv_connections.h"
#include "files/putty_sessions.h"
#include "foreign_helpers.h"
#include "temp_dir.h"

namespace varnok {
namespace {

struct SourceCase {
  const char* title;
  std::vector<std::pair<std::string, std::string>> files;  // name in the folder, bytes
  const char* source;                                      // the file or folder read ("" : the folder)
  const char* outline;
  std::vector<std::pair<std::string, std::string>> macroHolds;  // node path, text
  std::vector<std::string> notes;                               // each in some note
};

std::string Utf16Le(std::string_view ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

const std::string kRegistry =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\SimonTatham\\PuTTY\\Sessions\\Core%20Router]\r\n"
    "\"HostName\"=\"admin@10.0.0.1\"\r\n"
    "\"PortNumber\"=dword:00000016\r\n"
    "\"Protocol\"=\"ssh\"\r\n"
    "\"PublicKeyFile\"=\"C:\\\\keys\\\\core.ppk\"\r\n"
    "\"Colour0\"=hex:00,01,\\\r\n  02,03\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\SimonTatham\\PuTTY\\Sessions\\Default%20Settings]\r\n"
    "\"HostName\"=\"\"\r\n"
    "[HKEY_CURRENT_USER\\Software\\SimonTatham\\PuTTY\\Jumplist]\r\n"
    "\"Recent sessions\"=\"x\"\r\n"
    "[HKEY_CURRENT_USER\\Software\\SimonTatham\\PuTTY\\Sessions\\Old%20Switch]\r\n"
    "\"HostName\"=\"sw1\"\r\n"
    "\"PortNumber\"=dword:00000917\r\n"
    "\"Protocol\"=\"telnet\"\r\n";

const std::vector<SourceCase> kPuttyCases = {
    {"a sessions folder: names decoded, sorted; protocols; serial lines; user@host",
     {{"Lab%20Switch", "HostName=sw.lab\nProtocol=telnet\nPortNumber=2323\nUserName=op\n"},
      {"Console", "Protocol=serial\nSerialLine=/dev/ttyS0\nSerialSpeed=115200\n"},
      {"Web", "HostName=deploy@web.example.com\nPortNumber=22\nProtocol=ssh\n"},
      {"Raw", "HostName=r\nProtocol=raw\n"},
      {"USB", "Protocol=serial\nSerialLine=/dev/ttyUSB0\n"},
      {"Proxied", "HostName=p\nProxyMethod=6\nProxyHost=gw\n"},
      {"Default%20Settings", "HostName=\n"}},
     "",
     "Console\nLab Switch\nProxied\nUSB\nWeb\n",
     {{"Lab Switch", "connect 'sw.lab:2323 /nossh'"},
      {"Lab Switch", "sendln 'op'"},
      {"Lab Switch", "settitle 'Connecting Lab Switch'"},
      {"Console", "connect '/C=1'"},
      {"USB", "connect '/C=<port_number>'"},
      {"Web", "_constr='web.example.com /ssh /2 /auth=password /user='"},
      {"Web", "/user=deploy /passwd"}},
     {"Raw: Session Raw: the protocol \"raw\" is not supported",
      "Default%20Settings: Session Default Settings: PuTTY's default settings",
      "USB: Session USB: the serial line \"/dev/ttyUSB0\" has no COM port number",
      "Proxied: Session Proxied: goes through a proxy (gw)"}},
    {"a registry export in UTF-16",
     {{"putty.reg", Utf16Le(kRegistry)}},
     "putty.reg",
     "Core Router\nOld Switch\n",
     {{"Core Router", "_constr='10.0.0.1 /ssh /2 /auth=publickey /user='"},
      {"Core Router", "/user=admin /passwd=<password> /keyfile=C:\\keys\\core.ppk'"},
      {"Old Switch", "connect 'sw1:2327 /nossh'"}},
     {"putty.reg, line 11: Session Default Settings: PuTTY's default settings"}},
    {"the same export in ANSI",
     {{"putty.reg", "REGEDIT4\r\n" + kRegistry.substr(kRegistry.find("\r\n") + 2)}},
     "putty.reg",
     "Core Router\nOld Switch\n",
     {},
     {"Default Settings"}},
};

const std::vector<SourceCase> kCsvCases = {
    {"columns in any order; folders; a folder named by a later row is that connection; macro as written",
     {{"t.csv",
       "Name,Host,PATH,Port,User,Protocol,Macro,Owner\r\n"
       "web,10.0.0.5,Site A/bastion,2222,ops,,,me\r\n"
       "bastion,bastion.example.com,Site A,,jump,ssh,,\r\n"
       "sw,10.0.0.9,Site A,,,telnet,,\r\n"
       "\"odd, name\",h,,,,,\"sendln 'a'\nsendln \"\"b\"\"\",\r\n"
       ",10.9.9.9,,,,,,\r\n"
       "con,COM2,,,,serial,,\r\n"}},
     "t.csv",
     "Site A\n  bastion\n    web\n  sw\nodd, name\n10.9.9.9\ncon\n",
     {{"Site A/bastion/web", "_constr='10.0.0.5:2222 /ssh /2 /auth=password /user='"},
      {"Site A/bastion", "/user=jump /passwd"},
      {"Site A/sw", "connect '10.0.0.9:23 /nossh'"},
      {"con", "connect '/C=2'"}},
     {"t.csv, line 1: column owner: not a known column"}},
    {"semicolons; skipped rows; a bad port; a UTF-8 byte-order mark",
     {{"s.csv",
       "\xEF\xBB\xBFname;host;port;protocol;path\n"
       "a;ha;x22;\n"
       ";;;\n"
       "-sep;h;;\n"
       "r;h;;rlogin\n"
       "d;h;;;x/ -y\n"}},
     "s.csv",
     "a\n",
     {{"a", "connect 'ha /ssh /2'"}},
     {"s.csv, line 2: a: the port \"x22\" is not a number from 1 to 65535; left out",
      "s.csv, line 4: -sep: a name beginning with \"-\" marks a separator line",
      "s.csv, line 5: r: the protocol \"rlogin\" is not supported",
      "s.csv, line 6: x/ -y: a folder name beginning with \"-\" marks a separator line"}},
};

void RunCases(ForeignFormat format, const std::vector<SourceCase>& cases) {
  for (const SourceCase& c : cases) {
    SCOPED_TRACE(c.title);
    test::TempDir dir;
    for (const auto& [name, bytes] : c.files) test::WriteFile(dir.file(name), bytes);
    const std::string source = *c.source ? dir.file(c.source) : dir.path();
    ForeignImport found = ReadForeignSource(format, source, {"/nonexistent", dir.path()});
    ASSERT_TRUE(found.ok()) << found.error;
    std::string notes = test::NotesText(found);
    for (std::size_t at; (at = notes.find(dir.path() + "/")) != std::string::npos;)
      notes.erase(at, dir.path().size() + 1);
    ConnectionTree tree;
    EXPECT_EQ(test::AppendAndOutline(tree, found), c.outline);
    for (const auto& [path, text] : c.macroHolds)
      EXPECT_NE(test::MacroOf(test::NodeAtPath(tree, path)).find(text), std::string::npos)
          << path << " lacks " << text << "\n"
          << test::MacroOf(test::NodeAtPath(tree, path));
    for (const std::string& n : c.notes)
      EXPECT_NE(notes.find(n), std::string::npos) << n << " not in\n" << notes;
  }
}

TEST(PuttyImport, EveryRuleOfTheTable) { RunCases(ForeignFormat::Putty, kPuttyCases); }
TEST(CsvImport, EveryRuleOfTheTable) { RunCases(ForeignFormat::Csv, kCsvCases); }

TEST(CsvImport, MacroColumnIsUsedAsWrittenWithCrLf) {
  test::TempDir dir;
  test::WriteFile(dir.file("m.csv"), "name,macro\nm,\"sendln 'a'\nsendln \"\"b\"\"\"\n");
  ForeignImport found =
      ReadForeignSource(ForeignFormat::Csv, dir.file("m.csv"), {"/nonexistent", dir.path()});
  ConnectionTree tree;
  test::AppendAndOutline(tree, found);
  EXPECT_EQ(test::MacroOf(test::NodeAtPath(tree, "m")), "sendln 'a'\r\nsendln \"b\"");
  EXPECT_EQ(test::PopupOf(test::NodeAtPath(tree, "m")), "Imported from " + dir.file("m.csv") + ", line 2.");
}

TEST(ForeignImport, UnusableSourcesSayWhyAndGiveNothing) {
  test::TempDir dir;
  test::WriteFile(dir.file("junk.csv"), std::string("name,host\n\0\0\xff", 13));
  test::WriteFile(dir.file("nohead.csv"), "port,user\n22,a\n");
  test::WriteFile(dir.file("empty.reg"), "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n");
  const ForeignOptions options{"/nonexistent", dir.path()};
  const std::vector<std::tuple<ForeignFormat, std::string, std::string>> cases = {
      {ForeignFormat::Csv, "junk.csv", dir.file("junk.csv") + " is not a CSV table (it holds binary data)."},
      {ForeignFormat::Csv, "nohead.csv",
       dir.file("nohead.csv") +
           " is no table of connections: its header row names neither a \"name\" nor a \"host\" column."},
      {ForeignFormat::Putty, "empty.reg",
       dir.file("empty.reg") +
           " holds no PuTTY sessions (HKEY_CURRENT_USER\\Software\\SimonTatham\\PuTTY\\Sessions)."},
  };
  for (const auto& [format, file, error] : cases) {
    const ForeignImport found = ReadForeignSource(format, dir.file(file), options);
    EXPECT_EQ(found.error, error);
    EXPECT_TRUE(found.roots.empty());
  }
  EXPECT_NE(ReadForeignSource(ForeignFormat::Csv, dir.file("none.csv"), options).error.find("none.csv"),
            std::string::npos);
}

TEST(CsvImport, OverlongRowIsSkippedAndTheRestRead) {
  test::TempDir dir;
  test::WriteFile(dir.file("big.csv"), "name,host\nbig," + std::string(3 << 20, ',') + "\nsmall,h\n");
  ForeignImport found =
      ReadForeignSource(ForeignFormat::Csv, dir.file("big.csv"), {"/nonexistent", dir.path()});
  ConnectionTree tree;
  EXPECT_EQ(test::AppendAndOutline(tree, found), "small\n");
  EXPECT_EQ(test::NotesText(found), dir.file("big.csv") + ", line 2: the row is longer than 1 MiB\n");
}

TEST(ForeignImport, KeepCheckedDropsUncheckedSubtrees) {
  test::TempDir dir;
  test::WriteFile(dir.file("t.csv"), "path,name\n,a\na,b\na/b,c\n,d\n");
  ForeignImport found =
      ReadForeignSource(ForeignFormat::Csv, dir.file("t.csv"), {"/nonexistent", dir.path()});
  ASSERT_EQ(found.connections, 4);
  auto kept = KeepChecked(std::move(found.roots), [](const TreeNode* n) { return n->name() != "b"; });
  ForeignImport pruned;
  pruned.roots = std::move(kept);
  ConnectionTree tree;
  EXPECT_EQ(test::AppendAndOutline(tree, pruned), "a\nd\n");
}

}  // namespace
}  // namespace varnok
