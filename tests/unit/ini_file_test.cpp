#include "common/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "common/ini_section_walk.h"
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
    EXPECT_EQ(IniFile::parse(text).serialize(), text);
  }
}

TEST(IniFile, ReadsNamesWithoutRegardToCaseAndTrimsValues) {
  IniFile ini = IniFile::parse(kSample);
  EXPECT_EQ(ini.get("corvane", "vtcolor"), "1,2,3,4,5,6");
  EXPECT_EQ(ini.get("CORVANE", "FONT"), "Courier");
  EXPECT_EQ(ini.get(" bg ", "BGEnable"), "on");
  EXPECT_EQ(ini.get("Corvane", "BGEnable"), std::nullopt);  // key of another section
  EXPECT_EQ(ini.get("Nope", "Font"), std::nullopt);
  EXPECT_EQ(ini.get("Corvane", "Missing", "dflt"), "dflt");
  EXPECT_TRUE(ini.hasSection("bG"));
  EXPECT_EQ(ini.sections(), (std::vector<std::string>{"Corvane", "BG"}));
  EXPECT_EQ(ini.keys("corvane"), (std::vector<std::string>{"VTColor", "Font"}));
}

TEST(IniFile, CommentsStrayLinesAndDuplicatesFollowFirstOccurrence) {
  IniFile ini = IniFile::parse(
      "k=before any section\n[A]\n;k=commented\nno equals sign\nk=first\nK=second\n=nokey\n[a]\nk=third\n");
  EXPECT_EQ(ini.get("A", "k"), "first");
  EXPECT_EQ(ini.keys("A"), (std::vector<std::string>{"k"}));
  EXPECT_EQ(ini.sections(), (std::vector<std::string>{"A"}));
  ASSERT_TRUE(ini.set("a", "K", "changed"));
  EXPECT_EQ(
      ini.serialize(),
      "k=before any section\n[A]\n;k=commented\nno equals sign\nk=changed\nK=second\n=nokey\n[a]\nk=third\n");
}

TEST(IniFile, ReplacesAValueInPlaceAndLeavesOtherLinesAlone) {
  IniFile ini = IniFile::parse(kSample);
  ASSERT_TRUE(ini.set("CORVANE", "vtcolor", "0,0,0,255,255,216"));
  ASSERT_TRUE(ini.set("bg", "bgenable", "off"));
  EXPECT_EQ(ini.serialize(),
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
  IniFile ini = IniFile::parse(kSample);
  ASSERT_TRUE(ini.set("Corvane", "VTBoldColor", "6,7,8,9,10,11"));
  EXPECT_EQ(ini.serialize(),
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
  IniFile empty = IniFile::parse("[A]\n\n[B]\nx=1\n");
  ASSERT_TRUE(empty.set("a", "k", "v"));
  EXPECT_EQ(empty.serialize(), "[A]\nk=v\n\n[B]\nx=1\n");
}

TEST(IniFile, AddsAMissingSectionAtTheEndUsingTheFilesLineBreak) {
  IniFile lf = IniFile::parse("[A]\nx=1");  // last line without a line break
  ASSERT_TRUE(lf.set("B", "k", "v"));
  EXPECT_EQ(lf.serialize(), "[A]\nx=1\n[B]\nk=v\n");

  IniFile none = IniFile::parse("", "\n");
  ASSERT_TRUE(none.set("Zelmora", "Key", "1"));
  EXPECT_EQ(none.serialize(), "[Zelmora]\nKey=1\n");

  IniFile crlf;  // a new file uses CR LF by default
  ASSERT_TRUE(crlf.set("S", "k", ""));
  EXPECT_EQ(crlf.serialize(), "[S]\r\nk=\r\n");
  EXPECT_EQ(crlf.get("s", "K"), "");

  IniFile lastLine = IniFile::parse("[A]");  // a header that ends the file gets its key
  ASSERT_TRUE(lastLine.set("A", "k", "v"));
  EXPECT_EQ(lastLine.serialize(), "[A]\r\nk=v\r\n");
}

TEST(IniFile, RefusesWritesThatWouldBreakTheStructure) {
  IniFile ini = IniFile::parse(kSample);
  const std::string before = ini.serialize();
  EXPECT_FALSE(ini.set("Corvane", "Font", "a\r\n[BG]"));
  EXPECT_FALSE(ini.set("Corvane", "a=b", "v"));
  EXPECT_FALSE(ini.set("Corvane", "", "v"));
  EXPECT_FALSE(ini.set("Corvane", ";k", "v"));
  EXPECT_FALSE(ini.set("Corvane", "[k", "v"));
  EXPECT_FALSE(ini.set("", "k", "v"));
  EXPECT_FALSE(ini.set("a]b", "k", "v"));
  EXPECT_FALSE(ini.set("a\nb", "k", "v"));
  EXPECT_EQ(ini.serialize(), before);
  // Values may hold "=", ";" and brackets: only the first "=" of a line splits it.
  ASSERT_TRUE(ini.set("Corvane", "Font", "x=[y];z"));
  EXPECT_EQ(IniFile::parse(ini.serialize()).get("Corvane", "Font"), "x=[y];z");
}

TEST(IniFile, RemovesKeysAndSections) {
  IniFile ini = IniFile::parse(kSample);
  EXPECT_TRUE(ini.removeKey("corvane", "font"));
  EXPECT_FALSE(ini.removeKey("corvane", "font"));
  EXPECT_TRUE(ini.removeSection("BG"));
  EXPECT_FALSE(ini.removeSection("BG"));
  EXPECT_EQ(ini.serialize(), "; emulator settings\r\n[Corvane]\r\nVTColor = 1,2,3,4,5,6\r\n\r\n");
}

TEST(IniFile, ProfileFunctionsReadAndWriteFiles) {
  test::TempDir dir;
  const std::string path = dir.file("corvane.ini");
  test::WriteFile(path, kSample);
  ::chmod(path.c_str(), 0640);

  EXPECT_EQ(platform::ReadProfileString(path, "CORVANE", "font"), "Courier");
  EXPECT_EQ(platform::ReadProfileString(path, "Corvane", "missing", "x"), "x");
  EXPECT_EQ(platform::ReadProfileString(dir.file("none.ini"), "Corvane", "Font", "x"), "x");

  ASSERT_TRUE(platform::WriteProfileString(path, "BG", "BGEnable", "off"));
  std::string expected = kSample;
  expected.replace(expected.find("BGEnable=on"), 11, "BGEnable=off");
  EXPECT_EQ(test::ReadFile(path), expected);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // A missing file is created.
  ASSERT_TRUE(platform::WriteProfileString(dir.file("new.ini"), "S", "k", "v"));
  EXPECT_EQ(test::ReadFile(dir.file("new.ini")), "[S]\r\nk=v\r\n");

  // A failure names the file and leaves it as it was.
  platform::WriteResult bad = platform::WriteProfileString(path, "BG", "Bad", "two\nlines");
  EXPECT_FALSE(bad.ok);
  EXPECT_NE(bad.error.find(path), std::string::npos);
  EXPECT_EQ(test::ReadFile(path), expected);

  std::filesystem::create_directory(dir.file("folder.ini"));
  platform::WriteResult unreadable = platform::WriteProfileString(dir.file("folder.ini"), "S", "k", "v");
  EXPECT_FALSE(unreadable.ok);
  EXPECT_NE(unreadable.error.find("folder.ini"), std::string::npos);
}

TEST(IniFile, EntriesListTheFirstSectionsKeyLinesAsGetReadsThem) {
  IniFile ini = IniFile::parse("k=stray\n[A]\n K1 = one \n;c=x\nk1=dup\nnoeq\nk2=\n[B]\nk3=3\n[a]\nk4=4\n");
  std::vector<IniFile::Entry> expected{{"K1", "one"}, {"k1", "dup"}, {"k2", ""}};
  EXPECT_EQ(ini.entries("a"), expected);
  EXPECT_EQ(ini.get("a", "K1"), "one");
  EXPECT_TRUE(ini.entries("missing").empty());

  // Read straight from the text, the same lines come out; lone CRs and CR LFs split lines too.
  for (const std::string& text :
       {std::string("k=stray\n[A]\n K1 = one \n;c=x\nk1=dup\nnoeq\nk2=\n[B]\nk3=3\n"),
        std::string("[ a ]\r K1 = one \r\nk1=dup\r\n\r\nk2=")}) {
    std::vector<IniFile::Entry> visited;
    EXPECT_TRUE(IniFile::visitEntries(text, "a", [&](std::string_view k, std::string_view v) {
      visited.emplace_back(std::string(k), std::string(v));
    }));
    EXPECT_EQ(visited, expected) << text;
  }
  EXPECT_FALSE(IniFile::visitEntries("[A]\nk=v\n", "B", [](std::string_view, std::string_view) {}));

  // Section and key names, each once, in file order.
  IniFile many = IniFile::parse("[S]\nx=1\nX=2\ny=3\n[s]\n[T]\n");
  EXPECT_EQ(many.sections(), (std::vector<std::string>{"S", "T"}));
  EXPECT_EQ(many.keys("s"), (std::vector<std::string>{"x", "y"}));
}

// A text handed over in pieces, as a file read through a buffer of `piece`
// bytes: what the walk did not read comes again in front of the next bytes.
std::vector<IniFile::Entry> WalkInPieces(std::string_view text, std::string_view section, std::size_t piece,
                                         bool& found) {
  std::vector<IniFile::Entry> visited;
  IniSectionWalk walk(section);
  for (std::size_t at = 0, size = piece;;) {
    const std::string_view bytes = text.substr(at, size);
    const bool atEnd = at + bytes.size() == text.size();
    const std::size_t used =
        walk.read(bytes, atEnd, [&](std::string_view k, std::string_view v, std::size_t) {
          visited.emplace_back(std::string(k), std::string(v));
        });
    if (atEnd || walk.done()) break;
    if (used == 0) size *= 2;  // a line longer than the buffer
    at += used;
  }
  found = walk.found();
  return visited;
}

TEST(IniFile, SectionWalkInPiecesReadsWhatTheWholeTextReads) {
  for (const std::string& text :
       {std::string("k=stray\n[B]\nk=b\n[A]\n K1 = one \n;c=x\nk1=dup\nnoeq\nk2=\n[B]\nk3=3\n"),
        std::string("[ b ]\r\nk=b\r\n[ a ]\r K1 = one \r\nk1=dup\r\n\r\nk2="), std::string("[B]\rk=1\r")}) {
    std::vector<IniFile::Entry> whole;
    const bool wholeFound = IniFile::visitEntries(text, "a", [&](std::string_view k, std::string_view v) {
      whole.emplace_back(std::string(k), std::string(v));
    });
    for (std::size_t piece = 1; piece <= text.size(); ++piece) {
      bool found = false;
      EXPECT_EQ(WalkInPieces(text, "a", piece, found), whole) << text << ", pieces of " << piece;
      EXPECT_EQ(found, wholeFound) << text << ", pieces of " << piece;
    }
  }
  // A CR at the end of a piece may be half of a CR LF: its line comes again with the next piece.
  IniSectionWalk walk("A");
  int keys = 0;
  auto count = [&](std::string_view, std::string_view, std::size_t) { ++keys; };
  EXPECT_EQ(walk.read("[A]\r\nk=v\r", false, count), 5u);
  EXPECT_EQ(keys, 0);
  EXPECT_EQ(walk.read("k=v\r", true, count), 4u);
  EXPECT_EQ(keys, 1);
}

TEST(IniFile, AppendSectionWritesWhatSetWouldWriteKeyByKey) {
  const std::string header = "title line\r\n*****";  // last line without a break
  std::vector<IniFile::Entry> entries{
      {"C1_R1", "Router"}, {"C2_R1", ""}, {"RowCount", "1"}, {"X", " a = b "}};
  IniFile bySet = IniFile::parse(header);
  for (const auto& [k, v] : entries) ASSERT_TRUE(bySet.set("PLF", k, v));
  IniFile appended = IniFile::parse(header);
  ASSERT_TRUE(appended.appendSection("PLF", entries));
  EXPECT_EQ(appended.serialize(), bySet.serialize());
  EXPECT_EQ(appended.get("plf", "x"), "a = b");

  // Refusals change nothing.
  const std::string before = appended.serialize();
  EXPECT_FALSE(appended.appendSection("plf", {{"k", "v"}}));  // exists
  IniFile fresh = IniFile::parse(header);
  EXPECT_FALSE(fresh.appendSection("S", {{"k", "1"}, {"K", "2"}}));
  EXPECT_FALSE(fresh.appendSection("S", {{"k", "1"}, {"j", "two\nlines"}}));
  EXPECT_FALSE(fresh.appendSection("S", {{"a=b", "1"}}));
  EXPECT_EQ(appended.serialize(), before);
  EXPECT_EQ(fresh.serialize(), header);
}

// Line breaks are found wherever they stand: near or far past the start,
// only CRs, only LFs, both, or none at all, from any starting point.
TEST(IniFile, LineBreaksAreFoundAsBySearchingEveryByte) {
  std::mt19937 rng(3);
  for (int round = 0; round < 300; ++round) {
    std::string text(rng() % 2000, 'x');
    const int breaks = static_cast<int>(rng() % 4);
    const char* kinds[] = {"\r", "\n", "\r\n"};
    const int kind = static_cast<int>(rng() % 3);
    for (int b = 0; b < breaks && !text.empty(); ++b) text.replace(rng() % text.size(), 1, kinds[kind]);
    const std::size_t from = text.empty() ? 0 : rng() % (text.size() + 1);
    EXPECT_EQ(FindLineBreak(text, from), text.find_first_of("\r\n", from)) << text.size() << " " << from;
  }
  EXPECT_EQ(FindLineBreak("", 0), std::string_view::npos);
  EXPECT_EQ(FindLineBreak("abc", 7), std::string_view::npos);
}

}  // namespace
}  // namespace varnok
