#include "common/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/ini_file_io.h"
#include "temp_dir.h"

namespace varnok {
namespace {

const char* const kSample =
    "; emulator settings\r\n"
    "[Corvane]\r\n"
    "VTColor = 1,2,3,4,5,6\r\n"
    "Font=Courier\r\n"
    "\r\n"
    "[BG]\r\n"
    "BGEnable=on\r\n"
    "\r\n";

TEST(IniFile, ParseSerializeKeepsEveryByte) {
  for (std::string text : {std::string(kSample), std::string("a\nb\r\nc\rd"), std::string(""),
                           std::string("[x]\nk=v"), std::string("\n\n[ s ]\r\n k = v \r\n")}) {
    EXPECT_EQ(IniFile::Parse(text).Serialize(), text);
  }
}

TEST(IniFile, ReadsNamesWithoutRegardToCaseAndTrimsValues) {
  IniFile ini = IniFile::Parse(kSample);
  EXPECT_EQ(ini.Get("corvane", "vtcolor"), "1,2,3,4,5,6");
  EXPECT_EQ(ini.Get("CORVANE", "FONT"), "Courier");
  EXPECT_EQ(ini.Get(" bg ", "BGEnable"), "on");
  EXPECT_EQ(ini.Get("Corvane", "BGEnable"), std::nullopt);  // key of another section
  EXPECT_EQ(ini.Get("Nope", "Font"), std::nullopt);
  EXPECT_EQ(ini.Get("Corvane", "Missing", "dflt"), "dflt");
  EXPECT_TRUE(ini.HasSection("bG"));
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Corvane", "BG"}));
  EXPECT_EQ(ini.Keys("corvane"), (std::vector<std::string>{"VTColor", "Font"}));
}

TEST(IniFile, CommentsStrayLinesAndDuplicatesFollowFirstOccurrence) {
  IniFile ini = IniFile::Parse(
      "k=before any section\n[A]\n;k=commented\nno equals sign\nk=first\nK=second\n=nokey\n[a]\nk=third\n");
  EXPECT_EQ(ini.Get("A", "k"), "first");
  EXPECT_EQ(ini.Keys("A"), (std::vector<std::string>{"k"}));
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"A"}));
  ASSERT_TRUE(ini.Set("a", "K", "changed"));
  EXPECT_EQ(ini.Serialize(),
            "k=before any section\n[A]\n;k=commented\nno equals sign\nk=changed\nK=second\n=nokey\n[a]\nk=third\n");
}

TEST(IniFile, ReplacesAValueInPlaceAndLeavesOtherLinesAlone) {
  IniFile ini = IniFile::Parse(kSample);
  ASSERT_TRUE(ini.Set("CORVANE", "vtcolor", "0,0,0,255,255,216"));
  ASSERT_TRUE(ini.Set("bg", "bgenable", "off"));
  EXPECT_EQ(ini.Serialize(),
            "; emulator settings\r\n"
            "[Corvane]\r\n"
            "VTColor = 0,0,0,255,255,216\r\n"
            "Font=Courier\r\n"
            "\r\n"
            "[BG]\r\n"
            "BGEnable=off\r\n"
            "\r\n");
}

TEST(IniFile, AddsAMissingKeyAtTheEndOfItsSectionBeforeBlankLines) {
  IniFile ini = IniFile::Parse(kSample);
  ASSERT_TRUE(ini.Set("Corvane", "VTBoldColor", "6,7,8,9,10,11"));
  EXPECT_EQ(ini.Serialize(),
            "; emulator settings\r\n"
            "[Corvane]\r\n"
            "VTColor = 1,2,3,4,5,6\r\n"
            "Font=Courier\r\n"
            "VTBoldColor=6,7,8,9,10,11\r\n"
            "\r\n"
            "[BG]\r\n"
            "BGEnable=on\r\n"
            "\r\n");
  // An empty section gets the key right after its header.
  IniFile empty = IniFile::Parse("[A]\n\n[B]\nx=1\n");
  ASSERT_TRUE(empty.Set("a", "k", "v"));
  EXPECT_EQ(empty.Serialize(), "[A]\nk=v\n\n[B]\nx=1\n");
}

TEST(IniFile, AddsAMissingSectionAtTheEndUsingTheFilesLineBreak) {
  IniFile lf = IniFile::Parse("[A]\nx=1");  // last line without a line break
  ASSERT_TRUE(lf.Set("B", "k", "v"));
  EXPECT_EQ(lf.Serialize(), "[A]\nx=1\n[B]\nk=v\n");

  IniFile none = IniFile::Parse("", "\n");
  ASSERT_TRUE(none.Set("Zelmora", "Key", "1"));
  EXPECT_EQ(none.Serialize(), "[Zelmora]\nKey=1\n");

  IniFile crlf;  // a new file uses CR LF by default
  ASSERT_TRUE(crlf.Set("S", "k", ""));
  EXPECT_EQ(crlf.Serialize(), "[S]\r\nk=\r\n");
  EXPECT_EQ(crlf.Get("s", "K"), "");

  IniFile lastLine = IniFile::Parse("[A]");  // a header that ends the file gets its key
  ASSERT_TRUE(lastLine.Set("A", "k", "v"));
  EXPECT_EQ(lastLine.Serialize(), "[A]\r\nk=v\r\n");
}

TEST(IniFile, RefusesWritesThatWouldBreakTheStructure) {
  IniFile ini = IniFile::Parse(kSample);
  const std::string before = ini.Serialize();
  EXPECT_FALSE(ini.Set("Corvane", "Font", "a\r\n[BG]"));
  EXPECT_FALSE(ini.Set("Corvane", "a=b", "v"));
  EXPECT_FALSE(ini.Set("Corvane", "", "v"));
  EXPECT_FALSE(ini.Set("Corvane", ";k", "v"));
  EXPECT_FALSE(ini.Set("Corvane", "[k", "v"));
  EXPECT_FALSE(ini.Set("", "k", "v"));
  EXPECT_FALSE(ini.Set("a]b", "k", "v"));
  EXPECT_FALSE(ini.Set("a\nb", "k", "v"));
  EXPECT_EQ(ini.Serialize(), before);
  // Values may hold "=", ";" and brackets: only the first "=" of a line splits it.
  ASSERT_TRUE(ini.Set("Corvane", "Font", "x=[y];z"));
  EXPECT_EQ(IniFile::Parse(ini.Serialize()).Get("Corvane", "Font"), "x=[y];z");
}

TEST(IniFile, RemovesKeysAndSections) {
  IniFile ini = IniFile::Parse(kSample);
  EXPECT_TRUE(ini.RemoveKey("corvane", "font"));
  EXPECT_FALSE(ini.RemoveKey("corvane", "font"));
  EXPECT_TRUE(ini.RemoveSection("BG"));
  EXPECT_FALSE(ini.RemoveSection("BG"));
  EXPECT_EQ(ini.Serialize(), "; emulator settings\r\n[Corvane]\r\nVTColor = 1,2,3,4,5,6\r\n\r\n");
}

TEST(IniFile, ProfileFunctionsReadAndWriteFiles) {
  test::TempDir dir;
  const std::string path = dir.file("corvane.ini");
  test::WriteFile(path, kSample);
  ::chmod(path.c_str(), 0640);

  EXPECT_EQ(ReadProfileString(path, "CORVANE", "font"), "Courier");
  EXPECT_EQ(ReadProfileString(path, "Corvane", "missing", "x"), "x");
  EXPECT_EQ(ReadProfileString(dir.file("none.ini"), "Corvane", "Font", "x"), "x");

  ASSERT_TRUE(WriteProfileString(path, "BG", "BGEnable", "off"));
  std::string expected = kSample;
  expected.replace(expected.find("BGEnable=on"), 11, "BGEnable=off");
  EXPECT_EQ(test::ReadFile(path), expected);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // A missing file is created.
  ASSERT_TRUE(WriteProfileString(dir.file("new.ini"), "S", "k", "v"));
  EXPECT_EQ(test::ReadFile(dir.file("new.ini")), "[S]\r\nk=v\r\n");

  // A failure names the file and leaves it as it was.
  WriteResult bad = WriteProfileString(path, "BG", "Bad", "two\nlines");
  EXPECT_FALSE(bad.ok);
  EXPECT_NE(bad.error.find(path), std::string::npos);
  EXPECT_EQ(test::ReadFile(path), expected);

  std::filesystem::create_directory(dir.file("folder.ini"));
  WriteResult unreadable = WriteProfileString(dir.file("folder.ini"), "S", "k", "v");
  EXPECT_FALSE(unreadable.ok);
  EXPECT_NE(unreadable.error.find("folder.ini"), std::string::npos);
}

TEST(IniFile, EntriesListTheFirstSectionsKeyLinesAsGetReadsThem) {
  IniFile ini = IniFile::Parse("k=stray\n[A]\n K1 = one \n;c=x\nk1=dup\nnoeq\nk2=\n[B]\nk3=3\n[a]\nk4=4\n");
  std::vector<IniFile::Entry> expected{{"K1", "one"}, {"k1", "dup"}, {"k2", ""}};
  EXPECT_EQ(ini.Entries("a"), expected);
  EXPECT_EQ(ini.Get("a", "K1"), "one");
  EXPECT_TRUE(ini.Entries("missing").empty());
}

TEST(IniFile, AppendSectionWritesWhatSetWouldWriteKeyByKey) {
  const std::string header = "title line\r\n*****";  // last line without a break
  std::vector<IniFile::Entry> entries{{"C1_R1", "Router"}, {"C2_R1", ""}, {"RowCount", "1"}, {"X", " a = b "}};
  IniFile bySet = IniFile::Parse(header);
  for (const auto& [k, v] : entries) ASSERT_TRUE(bySet.Set("PLF", k, v));
  IniFile appended = IniFile::Parse(header);
  ASSERT_TRUE(appended.AppendSection("PLF", entries));
  EXPECT_EQ(appended.Serialize(), bySet.Serialize());
  EXPECT_EQ(appended.Get("plf", "x"), "a = b");

  // Refusals change nothing.
  const std::string before = appended.Serialize();
  EXPECT_FALSE(appended.AppendSection("plf", {{"k", "v"}}));  // exists
  IniFile fresh = IniFile::Parse(header);
  EXPECT_FALSE(fresh.AppendSection("S", {{"k", "1"}, {"K", "2"}}));
  EXPECT_FALSE(fresh.AppendSection("S", {{"k", "1"}, {"j", "two\nlines"}}));
  EXPECT_FALSE(fresh.AppendSection("S", {{"a=b", "1"}}));
  EXPECT_EQ(appended.Serialize(), before);
  EXPECT_EQ(fresh.Serialize(), header);
}

}  // namespace
}  // namespace varnok
