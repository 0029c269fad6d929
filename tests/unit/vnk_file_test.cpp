#include "files/vnk_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/safe_write.h"
#include "temp_dir.h"
#include "tree_helpers.h"

namespace varnok {
namespace {

using test::Add;
using test::CheckInvariants;
using test::Full;
using test::Outline;

// Hand-made file bytes.
struct Bytes {
  std::string s{"VNK20"};
  Bytes& int32(std::int32_t v) {
    for (int i = 0; i < 4; ++i)
      s.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
    return *this;
  }
  Bytes& text(std::string_view t) {
    int32(static_cast<std::int32_t>(t.size()));
    s += t;
    return *this;
  }
  Bytes& record(std::int32_t level, const std::string& name, const std::string& macro = "") {
    int32(level).int32(2);
    s.push_back('\1');
    return text(name).text(macro).text("").text("=0 8 * * 1").text("").text("0:0:0");
  }
};

TEST(VnkFile, EmptyTreeIsNineBytesAndLoadsAsTheTopNodeAlone) {
  ConnectionTree tree;
  std::string bytes = WriteConfiguration(tree);
  EXPECT_EQ(bytes, std::string("VNK20\0\0\0\0", 9));
  ConnectionTree loaded;
  LoadResult r = ReadConfiguration(loaded, bytes, false);
  EXPECT_TRUE(r.ok());
  EXPECT_TRUE(r.nameDocument);
  EXPECT_EQ(loaded.count(), 1);
}

TEST(VnkFile, RecordLayoutIsExact) {
  ConnectionTree tree;
  TreeNode* a = tree.insert(tree.top(), 0, ConnectionTree::newNode(Full("jump")));
  tree.insert(a, 0, ConnectionTree::newNode({.Name = "r1", .NodeType = StoredNodeType::NoMacro}));
  Bytes expected;
  expected.int32(2).int32(1).int32(2);
  expected.s.push_back('\1');
  const rVTNodeData f = Full("jump");
  expected.text("jump").text(f.Macro).text(f.PopupText).text(f.Schedule).text(f.LastUpdated).text(f.Colors);
  expected.int32(2).int32(1);
  expected.s.push_back('\0');
  expected.text("r1").text("").text("").text("").text("").text("");
  EXPECT_EQ(WriteConfiguration(tree), expected.s);
}

TEST(VnkFile, NodeTypesKeepTheirStoredNumbersEvenUnknownOnes) {
  // 0..3 are the values the editor writes; another program may have written 7.
  for (std::int32_t stored : {0, 1, 2, 3, 7}) {
    Bytes b;
    b.int32(1).int32(1).int32(stored);
    b.s.push_back('\0');
    b.text("host").text("").text("").text("").text("").text("");
    ConnectionTree tree;
    ASSERT_TRUE(ReadConfiguration(tree, b.s, false).ok()) << stored;
    EXPECT_EQ(static_cast<std::int32_t>(tree.nodeAt(1)->data().NodeType), stored);
    EXPECT_EQ(WriteConfiguration(tree), b.s) << stored;
  }
  EXPECT_EQ(static_cast<std::int32_t>(StoredNodeType::NoMacro), 1);
  EXPECT_EQ(static_cast<std::int32_t>(StoredNodeType::Macro), 2);
  EXPECT_EQ(static_cast<std::int32_t>(StoredNodeType::Separator), 3);
}

TEST(VnkFile, ParentsFollowTheLevels) {
  // First record at level 3 goes directly below the top node; level 4 becomes its child.
  // An empty name is skipped without taking a place; its level-3 "child" attaches to the node before it.
  Bytes b;
  b.int32(9).record(3, "a").record(4, "b").record(3, "c").record(1, "d").record(5, "e").record(1, "x");
  b.record(2, "").record(3, "y").record(1, "-abc");
  ConnectionTree tree;
  LoadResult r = ReadConfiguration(tree, b.s, false, 8);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(Outline(tree), "a\n  b\nc\nd\n  e\nx\n  y\n----- separator line -----\n");
  EXPECT_EQ(r.nodesAdded, 8);
  EXPECT_EQ(r.focusNode, tree.nodeAt(8)) << "skipped records take no index";
  EXPECT_EQ(CheckInvariants(tree), "");
  EXPECT_EQ(tree.top()->child(0)->data().Macro, "");
  EXPECT_EQ(tree.top()->child(0)->data().Schedule, "=0 8 * * 1");
}

TEST(VnkFile, LowerLevelWalksUpAndStopsAtTheTop) {
  Bytes b;
  b.int32(6).record(1, "a").record(2, "b").record(3, "c").record(2, "d").record(0, "e").record(
      -2147483647 - 1, "f");
  ConnectionTree tree;
  ASSERT_TRUE(ReadConfiguration(tree, b.s, false).ok());
  EXPECT_EQ(Outline(tree), "a\n  b\n    c\n  d\ne\nf\n");
}

TEST(VnkFile, CountLimitsTheRecordsRead) {
  Bytes b;
  b.int32(2).record(1, "a").record(1, "b").record(1, "c");
  ConnectionTree tree;
  EXPECT_TRUE(ReadConfiguration(tree, b.s, false).ok());
  EXPECT_EQ(Outline(tree), "a\nb\n");
  Bytes none;
  none.int32(-5).record(1, "a");
  EXPECT_TRUE(ReadConfiguration(tree, none.s, true).ok());
  EXPECT_EQ(tree.count(), 3);
}

TEST(VnkFile, InconsistentDataKeepsWhatWasReadAndLeavesTheDocumentUnnamed) {
  Bytes good;
  good.int32(3).record(1, "a").record(2, "b");
  std::vector<std::string> damaged;
  damaged.push_back(Bytes(good).int32(1).int32(0).s + std::string(1, '\1') +
                    Bytes().int32(-1).s.substr(5));  // negative length
  damaged.push_back(Bytes(good).int32(1).int32(0).s + std::string(1, '\1') + Bytes().int32(1000).s.substr(5) +
                    "abc");
  damaged.push_back(
      Bytes(good).record(1, "c").s.substr(0, Bytes(good).record(1, "c").s.size() - 1));  // cut short
  damaged.push_back(Bytes(good).int32(1).s + "\x02\x00");  // ends inside the level
  for (const std::string& bytes : damaged) {
    ConnectionTree tree;
    LoadResult r = ReadConfiguration(tree, bytes, false, 2);
    EXPECT_EQ(r.status, LoadStatus::InconsistentData);
    EXPECT_EQ(r.message, "Error reading file. The file contains inconsistent data.");
    EXPECT_FALSE(r.nameDocument);
    EXPECT_EQ(Outline(tree), "a\n  b\n");
    EXPECT_EQ(r.focusNode, tree.nodeAt(2));
  }
  for (std::string cut : {std::string("VNK20"), std::string("VNK20\1\0", 7)}) {
    ConnectionTree tree;
    LoadResult r = ReadConfiguration(tree, cut, false);
    EXPECT_EQ(r.status, LoadStatus::InconsistentData) << "a file ending inside the count";
    EXPECT_EQ(tree.count(), 1);
  }
}

// A file is read in pieces of 1 MiB: records that straddle two pieces, and
// one larger than a piece, arrive as from the whole bytes; damage past the
// first piece keeps what came before it, as it does in one piece.
TEST(VnkFile, FileReadInPiecesGivesWhatItsBytesGive) {
  test::TempDir dir;
  Bytes big;
  const int records = 12000;
  big.int32(records + 1);
  for (int i = 0; i < records; ++i)
    big.record(1 + i % 3, "node " + std::to_string(i),
               std::string(100 + i % 97, static_cast<char>('a' + i % 26)));
  big.record(2, "huge macro", std::string(std::size_t{3} << 20, 'm'));
  ASSERT_GT(big.s.size(), std::size_t{4} << 20);
  std::vector<std::string> files{big.s, big.s.substr(0, big.s.size() - 10),
                                 big.s.substr(0, (std::size_t{1} << 20) + 37)};
  for (const std::string& bytes : files) {
    std::string path = dir.file("pieces.vnk");
    ASSERT_TRUE(platform::SafeWriteFile(path, bytes).ok);
    ConnectionTree fromBytes, fromFile;
    LoadResult expected = ReadConfiguration(fromBytes, bytes, false, 5000);
    LoadResult r = LoadConfiguration(fromFile, path, false, 5000);
    EXPECT_EQ(r.status, expected.status);
    EXPECT_EQ(r.message, expected.message);
    EXPECT_EQ(r.nodesAdded, expected.nodesAdded);
    EXPECT_EQ(r.nameDocument, expected.nameDocument);
    ASSERT_EQ(fromFile.count(), fromBytes.count());
    EXPECT_EQ(fromFile.absoluteIndex(r.focusNode), 5000);
    EXPECT_EQ(WriteConfiguration(fromFile), WriteConfiguration(fromBytes));
    EXPECT_EQ(CheckInvariants(fromFile), "");
  }
}

TEST(VnkFile, WrongTagMissingAndUnreadableFilesGiveTheirMessages) {
  test::TempDir dir;
  ConnectionTree tree;
  for (std::string bytes : {std::string(""), std::string("VNK2"), std::string("VNK21\0\0\0\0", 9),
                            std::string("vnk20\0\0\0\0", 9)}) {
    LoadResult r = ReadConfiguration(tree, bytes, false);
    EXPECT_EQ(r.status, LoadStatus::InvalidFormat);
    EXPECT_EQ(r.message, "Cannot open the file. Invalid file format.");
    EXPECT_FALSE(r.nameDocument);
  }
  std::string missing = dir.file("gone.vnk");
  LoadResult r = LoadConfiguration(tree, missing, false);
  EXPECT_EQ(r.status, LoadStatus::FileMissing);
  EXPECT_EQ(r.message, "File '" + missing + "' does not exist.");
  EXPECT_EQ(tree.count(), 1);
}

TEST(VnkFile, UnreadableFileCannotBeOpened) {
  if (::geteuid() == 0) GTEST_SKIP() << "an unreadable file does not stop root";
  test::TempDir dir;
  ConnectionTree tree;
  test::WriteFile(dir.file("locked.vnk"), std::string("VNK20\0\0\0\0", 9));
  ::chmod(dir.file("locked.vnk").c_str(), 0);
  LoadResult r = LoadConfiguration(tree, dir.file("locked.vnk"), false);
  EXPECT_EQ(r.status, LoadStatus::CannotOpen);
  EXPECT_EQ(r.message, "Cannot open the file.");
  EXPECT_NE(r.reason.find("locked.vnk"), std::string::npos);
}

TEST(VnkFile, StoredIndexFocusesTheNodeAlsoOnImport) {
  Bytes b;
  b.int32(3).record(1, "a").record(2, "b").record(1, "c");
  ConnectionTree tree;
  LoadResult r = ReadConfiguration(tree, b.s, false, 2);
  EXPECT_EQ(r.focusNode ? r.focusNode->name() : "-", "b");
  r = ReadConfiguration(tree, b.s, true, 5);  // imported after the 4 nodes already there
  ASSERT_TRUE(r.ok());
  EXPECT_FALSE(r.nameDocument);
  EXPECT_EQ(r.focusNode, tree.nodeAt(5));
  EXPECT_EQ(r.focusNode->name(), "b");
  EXPECT_EQ(ReadConfiguration(tree, b.s, true, 0).focusNode, nullptr);
  EXPECT_EQ(Outline(tree), "a\n  b\nc\na\n  b\nc\na\n  b\nc\n");
}

TEST(VnkFile, SaveOpenSaveIsIdenticalAndExportWritesSelectedNodesOnly) {
  test::TempDir dir;
  ConnectionTree tree;
  TreeNode* jump = tree.insert(tree.top(), 0, ConnectionTree::newNode(Full("jump")));
  TreeNode* r1 = Add(tree, jump, "router 1");
  Add(tree, r1, "switch");
  Add(tree, tree.top(), std::string(kSeparatorName));
  tree.insert(tree.top(), 2, ConnectionTree::newNode(Full(std::string("site\0\xff", 6))));
  std::string first = dir.file("a.vnk"), second = dir.file("b.vnk");
  ASSERT_TRUE(SaveConfiguration(tree, first));
  ConnectionTree reopened;
  ASSERT_TRUE(LoadConfiguration(reopened, first, false).ok());
  ASSERT_TRUE(SaveConfiguration(reopened, second));
  EXPECT_EQ(test::ReadFile(first), test::ReadFile(second));
  EXPECT_EQ(Outline(reopened), Outline(tree));

  // Export of "switch" and the separator: levels are the depths, N counts the selected ones.
  std::string exported =
      WriteConfiguration(tree, [](const TreeNode* n) { return n->name() == "switch" || n->isSeparator(); });
  ConnectionTree imported;
  Add(imported, imported.top(), "x");
  ASSERT_TRUE(ReadConfiguration(imported, exported, true).ok());
  EXPECT_EQ(Outline(imported), "x\nswitch\n----- separator line -----\n");
  EXPECT_EQ(exported.substr(5, 8), Bytes().int32(2).int32(3).s.substr(5));
}

TEST(VnkFile, SubtreeMovedTwoLevelsDeeperKeepsItsShapeAfterReopening) {
  test::TempDir dir;
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeNode* b = Add(tree, a, "b");
  TreeNode* c = Add(tree, b, "c");
  TreeNode* s = Add(tree, tree.top(), "s");
  Add(tree, Add(tree, s, "s1"), "s2");
  Add(tree, s, "s3");
  ASSERT_TRUE(tree.move(s, c, 0));
  ASSERT_TRUE(SaveConfiguration(tree, dir.file("m.vnk")));
  ConnectionTree reopened;
  ASSERT_TRUE(LoadConfiguration(reopened, dir.file("m.vnk"), false).ok());
  EXPECT_EQ(Outline(reopened), "a\n  b\n    c\n      s\n        s1\n          s2\n        s3\n");
}

TEST(VnkFile, FailedSaveLeavesTheOldFileIntact) {
  test::TempDir dir;
  ConnectionTree tree;
  for (int i = 0; i < 2000; ++i)
    tree.insert(tree.top(), i, ConnectionTree::newNode(Full("n" + std::to_string(i))));
  std::string path = dir.file("net.vnk");
  test::WriteFile(path, "precious old bytes");
  pid_t pid = ::fork();
  if (pid == 0) {
    struct rlimit lim {
      4096, 4096
    };  // a full disk, in a child so that the limit goes with it
    ::setrlimit(RLIMIT_FSIZE, &lim);
    platform::WriteResult r = SaveConfiguration(tree, path);
    ::_exit(!r.ok && r.error.find(path) != std::string::npos ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(test::ReadFile(path), "precious old bytes");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(VnkFile, SaveIntoReadOnlyFolderFailsAndKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "a read-only folder does not stop root";
  test::TempDir dir;
  ConnectionTree tree;
  Add(tree, tree.top(), "a");
  std::filesystem::create_directory(dir.file("ro"));
  std::string inRo = dir.file("ro/net.vnk");
  test::WriteFile(inRo, "old");
  ::chmod(dir.file("ro").c_str(), 0555);
  platform::WriteResult r = SaveConfiguration(tree, inRo);
  ::chmod(dir.file("ro").c_str(), 0755);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(inRo), std::string::npos);
  EXPECT_EQ(test::ReadFile(inRo), "old");
}

}  // namespace
}  // namespace varnok
