// An import or a paste prepared beside the tree gives exactly what the same
// import or paste gives in place: the same nodes, names, rename count and
// warnings; a stop changes nothing.
#include "files/prepared_nodes.h"

#include <gtest/gtest.h>

#include <functional>

#include "files/node_transfer.h"
#include "files/vnk_file.h"
#include "model/tree_operations.h"
#include "temp_dir.h"
#include "tree_helpers.h"

namespace varnok {
namespace {

using test::Add;
using test::CheckInvariants;
using test::Outline;

const FixedClock kClock({2026, 12, 8, 9, 5, 7, 42});

// Names that clash in every way the naming rules know: equal names, a name
// inside another, "Copy of" names already taken, a line feed, a separator,
// and clashing lists below the top level.
void Namesakes(ConnectionTree& tree) {
  TreeNode* top = tree.top();
  TreeNode* router = Add(tree, top, "Router");
  Add(tree, router, "Port");
  Add(tree, router, "Port");
  Add(tree, router, "Port 1");
  Add(tree, top, "Router");
  Add(tree, top, "Copy of Router");
  Add(tree, top, "-");
  Add(tree, top, "-");
  TreeNode* site = Add(tree, top, "out");
  Add(tree, Add(tree, site, "rack"), "sw");
  Add(tree, site, "rack");
  Add(tree, top, "two\nlines");
  Add(tree, top, "lines");
}

std::string SaveTree(const test::TempDir& dir, const std::string& name,
                     const std::function<void(ConnectionTree&)>& fill) {
  ConnectionTree tree;
  fill(tree);
  const std::string path = dir.file(name);
  EXPECT_TRUE(SaveConfiguration(tree, path));
  return path;
}

// The import in place and the prepared one on two trees made alike by `start`.
void ExpectSameImport(const std::function<void(ConnectionTree&)>& start, const std::string& source,
                      const std::string& what) {
  ConnectionTree inPlace, prepared;
  start(inPlace);
  start(prepared);
  const ImportResult expected = ImportConnections(inPlace, source, "", -1, kClock);
  WorkControl control;
  const ImportResult got =
      PutImported(prepared, PrepareImport(source, "", kClock, CopyChildNames(prepared.top()), control));
  EXPECT_EQ(Outline(prepared), Outline(inPlace)) << what;
  EXPECT_EQ(got.renamed, expected.renamed) << what;
  EXPECT_EQ(got.warnings, expected.warnings) << what;
  EXPECT_EQ(got.load.nodesAdded, expected.load.nodesAdded) << what;
  EXPECT_EQ(got.documentModified, expected.documentModified) << what;
  EXPECT_EQ(CheckInvariants(prepared), "") << what;
  // Whatever the next import finds of the names resolved, it finds alike.
  const ImportResult expectedAgain = ImportConnections(inPlace, source, "", -1, kClock);
  const ImportResult again =
      PutImported(prepared, PrepareImport(source, "", kClock, CopyChildNames(prepared.top()), control));
  EXPECT_EQ(Outline(prepared), Outline(inPlace)) << what << " (again)";
  EXPECT_EQ(again.renamed, expectedAgain.renamed) << what << " (again)";
}

TEST(PreparedImport, NamesAsTheImportInPlaceIntoEveryKindOfTree) {
  test::TempDir dir;
  const std::string source = SaveTree(dir, "source.vnk", Namesakes);
  ExpectSameImport([](ConnectionTree&) {}, source, "into an empty tree");
  ExpectSameImport([](ConnectionTree& t) { Add(t, t.top(), "Router"); }, source, "beside one namesake");
  // As opened from a file: the lists were never resolved, and the import
  // renames connections that were there before.
  const std::string opened = SaveTree(dir, "opened.vnk", Namesakes);
  ExpectSameImport([&](ConnectionTree& t) { LoadConfiguration(t, opened, false); }, source,
                   "into an opened file");
  // Resolved by an import before: only the arrivals are named.
  ExpectSameImport(
      [&](ConnectionTree& t) {
        LoadConfiguration(t, opened, false);
        ImportConnections(t, source, "", -1, kClock);
      },
      source, "after an import");
  // The text format of the other program, read by its own reader.
  ConnectionTree namesakes;
  TreeNode* router = Add(namesakes, namesakes.top(), "Router");
  Add(namesakes, router, "Port");
  Add(namesakes, router, "Port");
  Add(namesakes, namesakes.top(), "Router");
  const std::string plf = dir.file("source.plf");
  const WriteResult written = ExportConnections(namesakes, plf, {}, kClock);
  ASSERT_TRUE(written) << written.error;
  ExpectSameImport([](ConnectionTree& t) { Add(t, t.top(), "Router"); }, plf, "a .PLF file");
}

TEST(PreparedImport, DamagedMissingAndForeignFilesEndAsInPlace) {
  test::TempDir dir;
  const std::string whole = test::ReadFile(SaveTree(dir, "whole.vnk", Namesakes));
  const std::string cut = dir.file("cut.vnk");
  test::WriteFile(cut, whole.substr(0, whole.size() - 3));  // ends inside the last record
  ExpectSameImport([](ConnectionTree& t) { Add(t, t.top(), "Router"); }, cut, "a file cut short");
  ExpectSameImport([](ConnectionTree& t) { Add(t, t.top(), "Router"); }, dir.file("none.vnk"),
                   "a missing file");

  ConnectionTree tree;
  Add(tree, tree.top(), "a");
  WorkControl control;
  const ImportResult foreign =
      PutImported(tree, PrepareImport(dir.file("a.txt"), "", kClock, CopyChildNames(tree.top()), control));
  EXPECT_FALSE(foreign.supported);
  EXPECT_EQ(foreign.warnings, std::vector<std::string>{std::string(kUnsupportedImportFormat)});
  EXPECT_EQ(Outline(tree), "a\n");
}

// The siblings changed between the copy of their names and the insert (the
// window let something else change the tree meanwhile): the names are made
// unique in place, against the list as it stands.
TEST(PreparedImport, ListChangedMeanwhileIsNamedInPlace) {
  test::TempDir dir;
  const std::string source = SaveTree(dir, "b.vnk", [](ConnectionTree& t) { Add(t, t.top(), "b"); });
  ConnectionTree tree;
  Add(tree, tree.top(), "a");
  const ChildNames before = CopyChildNames(tree.top());
  WorkControl control;
  PreparedNodes prepared = PrepareImport(source, "", kClock, before, control);
  Add(tree, tree.top(), "b");
  const ImportResult r = PutImported(tree, std::move(prepared));
  EXPECT_EQ(Outline(tree), "a\nb\nCopy of b\n");
  EXPECT_EQ(r.renamed, 1);
}

TEST(PreparedImport, StopLeavesTheTreeAsItWas) {
  test::TempDir dir;
  const std::string source = SaveTree(dir, "source.vnk", Namesakes);
  ConnectionTree tree;
  Add(tree, tree.top(), "Router");
  WorkControl control;
  control.requestStop();
  PreparedNodes prepared = PrepareImport(source, "", kClock, CopyChildNames(tree.top()), control);
  EXPECT_TRUE(prepared.stopped);
  EXPECT_TRUE(prepared.roots.empty());
  const ImportResult r = PutImported(tree, std::move(prepared));
  EXPECT_FALSE(r.documentModified);
  EXPECT_TRUE(r.warnings.empty());
  EXPECT_EQ(Outline(tree), "Router\n");
}

TEST(PreparedImport, ReportsProgressUpToTheWhole) {
  test::TempDir dir;
  const std::string source = SaveTree(dir, "source.vnk", Namesakes);
  ConnectionTree tree;
  WorkControl control;
  PrepareImport(source, "", kClock, CopyChildNames(tree.top()), control);
  EXPECT_GT(control.total(), 0);
  EXPECT_GT(control.done(), control.total() / 2);
  EXPECT_LE(control.done(), control.total());
}

// The paste in place and the prepared one onto the node at `path` (rows from
// the top node) of two trees made alike.
void ExpectSamePaste(const std::vector<int>& path, const std::string& what) {
  ConnectionTree inPlace, prepared;
  Namesakes(inPlace);
  Namesakes(prepared);
  auto at = [&](ConnectionTree& t) {
    TreeNode* n = t.top();
    for (int row : path) n = n->child(row);
    return n;
  };
  const std::string bytes = SerializeNodes({inPlace.top()->child(0), inPlace.top()->child(5)});
  TreeNode* target = at(prepared);
  const std::vector<TreeNode*> expected = PasteNodes(inPlace, at(inPlace), *DeserializeNodes(bytes));
  WorkControl control;
  const std::vector<TreeNode*> pasted =
      PutPasted(prepared, target, PreparePaste(bytes, CopyChildNames(PastePlaceFor(target).parent), control));
  EXPECT_EQ(Outline(prepared), Outline(inPlace)) << what;
  ASSERT_EQ(pasted.size(), expected.size()) << what;
  for (std::size_t i = 0; i < pasted.size(); ++i) EXPECT_EQ(pasted[i]->name(), expected[i]->name()) << what;
  EXPECT_EQ(CheckInvariants(prepared), "") << what;
}

TEST(PreparedPaste, NamesAsThePasteInPlace) {
  ExpectSamePaste({}, "onto the top node, among namesakes");
  ExpectSamePaste({0}, "onto a connection with children");
  ExpectSamePaste({3}, "onto a separator: after it");
  ExpectSamePaste({5, 0, 0}, "onto a connection without children");
}

TEST(PreparedPaste, DamagedBytesAndStopPasteNothing) {
  ConnectionTree tree;
  Namesakes(tree);
  const std::string before = Outline(tree);
  WorkControl control;
  PreparedNodes damaged = PreparePaste("VNKNODES1\x01", CopyChildNames(tree.top()), control);
  EXPECT_TRUE(damaged.damaged);
  EXPECT_TRUE(PutPasted(tree, tree.top(), std::move(damaged)).empty());

  const std::string bytes = SerializeNodes({tree.top()->child(0)});
  control.requestStop();
  PreparedNodes stopped = PreparePaste(bytes, CopyChildNames(tree.top()), control);
  EXPECT_TRUE(stopped.stopped);
  EXPECT_TRUE(PutPasted(tree, tree.top(), std::move(stopped)).empty());
  EXPECT_EQ(Outline(tree), before);
}

}  // namespace
}  // namespace varnok
