// vnk list, list --json, convert and import read a configuration record by record:
// many small records or one huge field stay within twice the input plus
// 100 MB of address space, and the output is the one the tree reader gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>

#include "capture.h"
#include "common/stored_text.h"
#include "common/utf8.h"
#include "files/vnk_file.h"
#include "model/connection_tree.h"
#include "program_dir.h"

namespace varnok::test {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer's shadow memory needs terabytes of address space
#else
constexpr bool kSanitized = false;
#endif

// Records as they stand in a file, written directly: levels that jump and
// drop, empty names and odd separators are what the reader must place.
struct RawRecord {
  std::int32_t level = 1;
  std::string name, macro, popup;
};

std::string FileOf(const std::vector<RawRecord>& records) {
  std::string out;
  AppendHeader(out, static_cast<std::int32_t>(records.size()));
  for (const RawRecord& r : records) {
    rVTNodeData d;
    d.Name = r.name;
    d.Macro = r.macro;
    d.PopupText = r.popup;
    d.Colors = "1:2:3";
    AppendRecord(out, d, r.level);
  }
  return out;
}

// `count` records of one-letter names, written in pieces.
void WriteMinimalRecords(const std::string& path, int count) {
  std::string one;
  rVTNodeData d;
  d.Name = "a";
  AppendRecord(one, d, 1);
  std::string bytes;
  AppendHeader(bytes, count);
  bytes.reserve(bytes.size() + one.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) bytes += one;
  WriteFile(path, bytes);
}

CaptureOptions Bound(const std::string& input) {
  CaptureOptions o;
  o.addressSpaceBytes = 2 * std::filesystem::file_size(input) + (std::size_t{100} << 20);
  return o;
}

class VnkMemoryBoundsTest : public ::testing::Test {
 protected:
  Output vnk(const std::vector<std::string>& args, const CaptureOptions& options = {}) {
    return Capture(dir, dir.file("vnk"), args, options);
  }
  ProgramDir dir{{"vnk"}};
};

TEST_F(VnkMemoryBoundsTest, ManySmallRecordsAreListedAndConvertedWithinTheBound) {
  if (kSanitized) GTEST_SKIP() << "address-space limits do not apply under the sanitizers";
  // 700,000 records of 34 bytes: a tree of them takes ten times the file.
  const std::string big = dir.scratch("many.vnk");
  WriteMinimalRecords(big, 700'000);
  const CaptureOptions bound = Bound(big);

  Output o = vnk({"list", big}, bound);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 700'000);
  o = vnk({"list", "--json", big}, bound);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find("\"index\": 700000,"), std::string::npos);
  o = vnk({"convert", big, dir.scratch("copy.vnk")}, bound);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "700000 nodes written to " + dir.scratch("copy.vnk") + "\n");
  EXPECT_EQ(ReadFile(dir.scratch("copy.vnk")), ReadFile(big));
}

TEST_F(VnkMemoryBoundsTest, OneHugeFieldIsPrintedAsJsonWithinTheBound) {
  if (kSanitized) GTEST_SKIP() << "address-space limits do not apply under the sanitizers";
  const std::string big = dir.scratch("field.vnk");
  WriteFile(big, FileOf({{1, "big", std::string(60'000'000, 'x'), ""}, {1, "b", "", ""}}));
  Output o = vnk({"list", "--json", big}, Bound(big));
  ASSERT_EQ(o.status, 0) << o.err;
  const nlohmann::json parsed = nlohmann::json::parse(o.out);
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed[0]["macro"].get<std::string>().size(), 60'000'000u);
  EXPECT_EQ(parsed[1]["name"], "b");
}

// An import of .VNK into .VNK keeps no tree: a million siblings of one name
// (34 MB), all renamed "Copy (n) of a", stay within the bound too.
TEST_F(VnkMemoryBoundsTest, AMillionSameNamedSiblingsAreImportedWithinTheBound) {
  if (kSanitized) GTEST_SKIP() << "address-space limits do not apply under the sanitizers";
  const std::string source = dir.scratch("siblings.vnk"), config = dir.scratch("net.vnk");
  WriteMinimalRecords(source, 1'000'000);
  WriteFile(config, FileOf({{1, "a", "", ""}}));

  Output o = vnk({"import", config, source, "-o", dir.scratch("merged.vnk")}, Bound(source));
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "1000000 imported items were renamed to avoid duplicate names among siblings.\n");
  const std::string result = ReadFile(dir.scratch("merged.vnk"));
  EXPECT_NE(result.find("Copy (1000000) of a"), std::string::npos);
  EXPECT_EQ(result.find("Copy (1000001) of a"), std::string::npos);
}

// Texts of hundreds of kilobytes go out in pieces; every seam must give what
// converting the whole text at once gives, whatever it cuts: "%" pairs,
// UTF-8 sequences, stray continuation bytes.
TEST_F(VnkMemoryBoundsTest, LongTextsInJsonEqualTheirWholeConversion) {
  std::mt19937 random(7);
  const std::vector<std::string> storedPieces = {"%E2%82%AC", "%C3%A9", "%ff",  "%80%80%80%80", "+",
                                                 "a",         "%0D%0A", "%%41", "%e2%82",       "\\"};
  const std::vector<std::string> rawPieces = {"\xE2\x82\xAC", "\xC3\xA9", "\xFF", "\x80\x80\x80\x80\x80",
                                              "\"",           "\x1b",     "z",    "\xF0\x9F\x98\x80"};
  std::string macro, name;
  while (macro.size() < 400'000) macro += storedPieces[random() % storedPieces.size()];
  macro += "%4";  // a pair cut off by the end stays as written
  while (name.size() < 300'000) name += rawPieces[random() % rawPieces.size()];
  const std::string file = dir.scratch("texts.vnk");
  WriteFile(file, FileOf({{1, name, macro, macro}}));

  Output o = vnk({"list", "--json", file});
  ASSERT_EQ(o.status, 0) << o.err;
  const nlohmann::json parsed = nlohmann::json::parse(o.out);
  EXPECT_TRUE(parsed[0]["macro"] == ToUtf8Lenient(DecodeText(macro)));
  EXPECT_TRUE(parsed[0]["popup"] == ToUtf8Lenient(DecodeText(macro)));
  EXPECT_TRUE(parsed[0]["name"] == ToUtf8Lenient(name));
}

// The records are placed by their levels as an opened file places them: the
// streamed list and copy agree with the tree reader and writer.
TEST_F(VnkMemoryBoundsTest, StreamedListAndCopyPlaceRecordsAsTheTreeReaderDoes) {
  std::mt19937 random(11);
  std::vector<RawRecord> records;
  for (int i = 0; i < 3000; ++i) {
    const int level = static_cast<int>(random() % 9) - 1;  // -1 .. 7: jumps, drops, nonsense
    std::string name = random() % 17 == 0 ? "" : "n" + std::to_string(i);
    if (random() % 23 == 0) name = "-sep";
    records.push_back({level, name, "m%20" + std::to_string(i), ""});
  }
  const std::string file = dir.scratch("levels.vnk");
  WriteFile(file, FileOf(records));
  ConnectionTree tree;
  ASSERT_TRUE(LoadConfiguration(tree, file, false).ok());

  Output o = vnk({"convert", file, dir.scratch("copy.vnk")});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(ReadFile(dir.scratch("copy.vnk")), WriteConfiguration(tree));

  o = vnk({"list", "--json", file});
  ASSERT_EQ(o.status, 0) << o.err;
  const nlohmann::json parsed = nlohmann::json::parse(o.out);
  ASSERT_EQ(static_cast<int>(parsed.size()), tree.count() - 1);
  int index = 1;
  for (const TreeNode* n = ConnectionTree::next(tree.top()); n; n = ConnectionTree::next(n), ++index) {
    const nlohmann::json& e = parsed[static_cast<std::size_t>(index - 1)];
    ASSERT_EQ(e["index"], index);
    ASSERT_EQ(e["level"], n->data().Level) << "node " << index;
    ASSERT_EQ(e["name"], std::string(n->name()));
  }
}

TEST_F(VnkMemoryBoundsTest, DamagedInputPrintsAndWritesNothing) {
  std::string bytes = FileOf({{1, "Site", "", ""}, {2, "Lab", "", ""}, {1, "Edge", "", ""}});
  bytes.resize(bytes.size() - 5);  // the last record ends early
  const std::string file = dir.scratch("cut.vnk"), target = dir.scratch("target.vnk");
  WriteFile(file, bytes);
  WriteFile(target, "old");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"list", file}, std::vector<std::string>{"list", "--json", file},
        std::vector<std::string>{"convert", file, target}, std::vector<std::string>{"convert", file, "-"}}) {
    Output o = vnk(args);
    EXPECT_EQ(o.status, 1) << args[0];
    EXPECT_EQ(o.out, "") << args[0];
    EXPECT_NE(o.err.find("The file contains inconsistent data."), std::string::npos) << o.err;
  }
  EXPECT_EQ(ReadFile(target), "old");
}

}  // namespace
}  // namespace varnok::test
