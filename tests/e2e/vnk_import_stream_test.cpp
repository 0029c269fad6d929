// vnk import of one .VNK file into another goes record by record, without a
// tree: the result must be the bytes an import into an opened tree and a
// save give, for any shape of the files, and damage must write nothing.
#include <gtest/gtest.h>

#include <random>

#include "capture.h"
#include "files/import_export.h"
#include "files/vnk_file.h"
#include "model/connection_tree.h"
#include "program_dir.h"

namespace varnok::test {
namespace {

struct Raw {
  std::int32_t level;
  std::string name;
};

std::string Bytes(const std::vector<Raw>& records) {
  std::string out;
  AppendHeader(out, static_cast<std::int32_t>(records.size()));
  for (const Raw& r : records) {
    rVTNodeData d;
    d.Name = r.name;
    d.Macro = "m" + r.name.substr(0, 3);
    d.Colors = "1:2:3";
    AppendRecord(out, d, r.level);
  }
  return out;
}

// Levels that jump and drop, empty names, separators, names that clash
// whole or as parts of others, a long name, and now and then a list with a
// line feed in a name.
std::vector<Raw> RandomRecords(std::mt19937& random, int count) {
  const std::vector<std::string> pool = {"a",    "ab",       "b",        "Copy of a", "Copy (2) of ab",
                                         "-sep", "a\nb",     "router A", "router",    std::string(5000, 'x'),
                                         "",     "Copy of b"};
  std::vector<Raw> records;
  for (int i = 0; i < count; ++i) {
    const int level = static_cast<int>(random() % 6) - 1;
    std::string name = pool[random() % pool.size()];
    if (name == "a\nb" && random() % 3 != 0) name = "fresh " + std::to_string(i);
    records.push_back({level, name});
  }
  return records;
}

class VnkImportStreamTest : public ::testing::Test {
 protected:
  Output vnk(const std::vector<std::string>& args, const CaptureOptions& options = {}) {
    return Capture(dir, dir.file("vnk"), args, options);
  }
  ProgramDir dir{{"vnk"}};
};

TEST_F(VnkImportStreamTest, GivesWhatAnImportIntoTheOpenedTreeGives) {
  std::mt19937 random(23);
  const std::string file = dir.scratch("net.vnk"), source = dir.scratch("more.VNK"),
                    out = dir.scratch("out.vnk");
  for (int round = 0; round < 6; ++round) {
    WriteFile(file, Bytes(RandomRecords(random, 300)));
    WriteFile(source, Bytes(RandomRecords(random, 300)));
    ConnectionTree tree;
    ASSERT_TRUE(LoadConfiguration(tree, file, false).ok());
    const ImportResult expected = ImportConnections(tree, source, dir.path());
    ASSERT_TRUE(expected.load.ok());

    Output o = vnk({"import", file, source, "-o", out});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, RenamedMessage(expected.renamed).empty() ? "" : RenamedMessage(expected.renamed) + "\n");
    ASSERT_EQ(ReadFile(out), WriteConfiguration(tree)) << "round " << round;
    o = vnk({"import", file, source, "-o", "-"});
    ASSERT_EQ(o.status, 0);
    EXPECT_EQ(o.out, WriteConfiguration(tree)) << "round " << round;
  }
}

TEST_F(VnkImportStreamTest, DamagedFilesWriteNothing) {
  const std::string file = dir.scratch("net.vnk"), source = dir.scratch("more.vnk"),
                    out = dir.scratch("out.vnk");
  const std::string good = Bytes({{1, "a"}, {2, "b"}, {1, "a"}});
  std::string cut = good;
  cut.resize(cut.size() - 3);
  WriteFile(file, good);
  WriteFile(source, cut);
  WriteFile(out, "old");
  Output o = vnk({"import", file, source, "-o", out});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: Error reading file. The file contains inconsistent data.\nNothing was written.\n");
  EXPECT_EQ(ReadFile(out), "old");

  WriteFile(file, cut);
  WriteFile(source, good);
  o = vnk({"import", file, source});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: Error reading file. The file contains inconsistent data.\n");
  EXPECT_EQ(ReadFile(file), cut);
  o = vnk({"import", dir.scratch("missing.vnk"), source});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: File '" + dir.scratch("missing.vnk") + "' does not exist.\n");
}

}  // namespace
}  // namespace varnok::test
