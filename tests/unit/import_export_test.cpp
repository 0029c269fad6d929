#include "files/import_export.h"

#include <gtest/gtest.h>

#include "files/plf_file.h"
#include "temp_dir.h"
#include "tree_helpers.h"

namespace varnok {
namespace {

using test::Add;
using test::CheckInvariants;
using test::Outline;

const FixedClock kClock({2026, 12, 8, 9, 5, 7, 42});
// A program directory without emulator settings: the default colours are schema 0.
const std::string kNoProgramDir = "/nonexistent/program-dir";

// a / b / c / d (a chain), plus x with child y beside it.
struct Chain {
  ConnectionTree tree;
  TreeNode* a = Add(tree, tree.top(), "a");
  TreeNode* b = Add(tree, a, "b");
  TreeNode* c = Add(tree, b, "c");
  TreeNode* d = Add(tree, c, "d");
  TreeNode* x = Add(tree, tree.top(), "x");
  TreeNode* y = Add(tree, x, "y");
};

TEST(ExportSelection, DepthThreeConnectionAloneAsksOnceAndWritesItsParentChain) {
  test::TempDir dir;
  Chain t;
  int asked = 0;
  ExportSelection s = CheckExportSelection(t.tree, {t.tree.top(), t.c}, [&](std::string_view q) {
    ++asked;
    EXPECT_EQ(q,
              "Connection can be exported only together with all parent connections it has.\r"
              "Press Ok to automatically expand your selection.");
    return true;
  });
  EXPECT_EQ(asked, 1);
  ASSERT_TRUE(s.proceed);
  EXPECT_EQ(s.added, (std::vector<TreeNode*>{t.a, t.b}));
  EXPECT_EQ(s.nodes.size(), 3u) << "the top node is dropped";

  for (std::string name : {"chain.plf", "chain.vnk"}) {
    const std::string path = dir.file(name);
    ASSERT_TRUE(ExportConnections(t.tree, path, SelectionFilter(s.nodes), kClock));
    ConnectionTree back;
    ASSERT_TRUE(LoadConnectionsFile(back, path, kNoProgramDir, kClock).ok());
    EXPECT_EQ(Outline(back), "a\n  b\n    c\n") << name;
    EXPECT_EQ(back.nodeAt(3)->data().Level, 3);
  }
  const std::string text = test::ReadFile(dir.file("chain.plf"));
  EXPECT_NE(text.find("C1_R1=a\r\n"), std::string::npos);
  EXPECT_NE(text.find("C8_R1=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("C8_R2=2\r\n"), std::string::npos);
  EXPECT_NE(text.find("C1_R3=c\r\n"), std::string::npos);
  EXPECT_NE(text.find("C8_R3=3\r\nRowCount=3\r\n"), std::string::npos);
}

TEST(ExportSelection, CancelChangesNothingAndACompleteSelectionAsksNothing) {
  Chain t;
  ExportSelection s = CheckExportSelection(t.tree, {t.d, t.y}, [](std::string_view) { return false; });
  EXPECT_FALSE(s.proceed);
  EXPECT_TRUE(s.added.empty());
  EXPECT_EQ(s.nodes, (std::vector<TreeNode*>{t.d, t.y}));

  auto never = [](std::string_view) -> bool {
    ADD_FAILURE() << "asked without need";
    return false;
  };
  s = CheckExportSelection(t.tree, {t.x, t.a, t.y}, never);  // first-level nodes need no parents
  EXPECT_TRUE(s.proceed);
  EXPECT_TRUE(s.added.empty());

  // Shared ancestors come once, in tree order, however the selection is ordered.
  EXPECT_EQ(MissingAncestors(t.tree, {t.y, t.d, t.c, t.tree.top()}), (std::vector<TreeNode*>{t.a, t.b, t.x}));
  EXPECT_EQ(MissingAncestors(t.tree, {t.d, t.b}), (std::vector<TreeNode*>{t.a, t.c}));
}

TEST(ExportFormat, PlfInAnyLetterCaseWritesTextEverythingElseTheConfiguration) {
  test::TempDir dir;
  Chain t;
  for (std::string name : {"a.plf", "b.PLF", "c.Plf", "d.vnk", "e.txt", "f", "g.plf.vnk", "h.pl"}) {
    const std::string path = dir.file(name);
    ASSERT_TRUE(ExportConnections(t.tree, path, {}, kClock)) << name;
    const bool text = FileFormatOf(path) == ConnectionFileFormat::Plf;
    EXPECT_EQ(text, name.size() == 5 && (name[2] == 'p' || name[2] == 'P')) << name;
    EXPECT_EQ(test::ReadFile(path).rfind(text ? "              Varnokc Ver." : "VNK20", 0), 0u) << name;
  }
  EXPECT_EQ(FileFormatOf("dir.plf/file"), ConnectionFileFormat::Vnk);
}

TEST(Import, CollidingFirstLevelNameBecomesCopyOfAndIsCounted) {
  test::TempDir dir;
  ConnectionTree source;
  TreeNode* router = Add(source, source.top(), "Router");
  Add(source, router, "Port 1");
  Add(source, source.top(), "New");
  for (std::string name : {"s.plf", "s.VNK", "S.Plf"}) {
    ASSERT_TRUE(ExportConnections(source, dir.file(name), {}, kClock));
    ConnectionTree tree;
    Add(tree, Add(tree, tree.top(), "Router"), "Port 1");
    ImportResult r = ImportConnections(tree, dir.file(name), kNoProgramDir, -1, kClock);
    ASSERT_TRUE(r.load.ok()) << name;
    EXPECT_EQ(Outline(tree), "Router\n  Port 1\nCopy of Router\n  Port 1\nNew\n") << name;
    EXPECT_EQ(r.renamed, 1);
    EXPECT_EQ(r.warnings, std::vector<std::string>{
                              "1 imported item was renamed to avoid duplicate names among siblings."});
    EXPECT_TRUE(r.documentModified);
    EXPECT_FALSE(r.load.nameDocument);
    EXPECT_EQ(CheckInvariants(tree), "");
  }
  // Importing the same file twice more: two and then three renames.
  ConnectionTree tree;
  ASSERT_TRUE(ImportConnections(tree, dir.file("s.plf"), kNoProgramDir, -1, kClock).warnings.empty());
  ImportResult again = ImportConnections(tree, dir.file("s.plf"), kNoProgramDir, -1, kClock);
  EXPECT_EQ(again.renamed, 2);
  EXPECT_EQ(again.warnings, std::vector<std::string>{
                                "2 imported items were renamed to avoid duplicate names among siblings."});
  EXPECT_EQ(Outline(tree), "Router\n  Port 1\nNew\nCopy of Router\n  Port 1\nCopy of New\n");
}

TEST(Import, UnsupportedOrMissingFiles) {
  test::TempDir dir;
  ConnectionTree tree;
  Add(tree, tree.top(), "a");
  Add(tree, tree.top(), "a");  // a duplicate the sibling pass would rename
  test::WriteFile(dir.file("x.txt"), "VNK20\0\0\0\0");
  for (std::string name : {"x.txt", "x", "x.vnk.bak"}) {
    ImportResult r = ImportConnections(tree, dir.file(name), kNoProgramDir, -1, kClock);
    EXPECT_FALSE(r.supported);
    EXPECT_EQ(r.warnings, std::vector<std::string>{"Cannot import the file. Unsupported file format."});
    EXPECT_FALSE(r.documentModified);
    EXPECT_EQ(Outline(tree), "a\na\n") << "nothing done, not even the sibling pass";
  }
  // A missing .PLF is reported, and the sibling pass still runs.
  const std::string gone = dir.file("gone.plf");
  ImportResult r = ImportConnections(tree, gone, kNoProgramDir, -1, kClock);
  EXPECT_TRUE(r.supported);
  EXPECT_EQ(r.load.status, LoadStatus::FileMissing);
  EXPECT_EQ(r.warnings, (std::vector<std::string>{
                            "File '" + gone + "' not found",
                            "1 imported item was renamed to avoid duplicate names among siblings."}));
  EXPECT_TRUE(r.documentModified);
  EXPECT_EQ(Outline(tree), "a\nCopy of a\n");
  // A missing .VNK gives the configuration reader's message.
  r = ImportConnections(tree, dir.file("gone.vnk"), kNoProgramDir, -1, kClock);
  EXPECT_EQ(r.warnings, std::vector<std::string>{"File '" + dir.file("gone.vnk") + "' does not exist."});
}

TEST(Import, StoredIndexFocusesAnImportedNode) {
  test::TempDir dir;
  Chain t;
  ASSERT_TRUE(ExportConnections(t.tree, dir.file("t.plf"), {}, kClock));
  ConnectionTree tree;
  Add(tree, tree.top(), "z");
  ImportResult r = ImportConnections(tree, dir.file("t.plf"), kNoProgramDir, 3, kClock);
  ASSERT_NE(r.load.focusNode, nullptr);
  EXPECT_EQ(r.load.focusNode->name(), "b");
  EXPECT_EQ(tree.absoluteIndex(r.load.focusNode), 3);
}

}  // namespace
}  // namespace varnok
