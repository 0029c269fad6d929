// A configuration that is one chain tens of thousands of levels deep: the
// window opens it focused on the deepest connection, expands and collapses
// everything, and runs the deepest branch. The view opens no node below its
// deepest shown level, however it is asked to.
//   VARNOK_DEEP_TREE_DEPTH=1000000 build/test-bin/gui_deep_tree_test   (the same at a million levels)
#include <QAction>
#include <QTest>
#include <QTreeView>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "model/tree_operations.h"
#include "recording_emulator_qt.h"
#include "tree/tree_model.h"
#include "tree/tree_view.h"
#include "tree_helpers.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

namespace {

// Past the depth at which an open chain overflowed the stack (~26,000);
// VARNOK_DEEP_TREE_DEPTH sets another (a manual check at 1,000,000).
const int kDepth = [] {
  const char* env = std::getenv("VARNOK_DEEP_TREE_DEPTH");
  const int depth = env ? std::atoi(env) : 0;
  return depth > ConnectionTreeModel::kDeepestShownLevel ? depth : 30'000;
}();
constexpr int kDeepest = ConnectionTreeModel::kDeepestShownLevel;

// One chain n1 .. n<depth>, each with the macro "sendln <level>".
void WriteChain(const std::string& path, int depth) {
  ConnectionTree tree;
  test::AppendChain(tree, depth);
  QVERIFY(SaveConfiguration(tree, path));
}

TreeNode* AtLevel(TreeNode* deepest, int level) {
  while (deepest->data().Level > level) deepest = deepest->parent();
  return deepest;
}

TreeNode* Deepest(TreeNode& from) {
  TreeNode* n = &from;
  while (n->hasChildren()) n = n->firstChild();
  return n;
}
TreeNode* Deepest(const ConnectionTree& tree) { return Deepest(*tree.top()); }

}  // namespace

class DeepTreeTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;
  std::unique_ptr<test::RecordingEmulator> emulator;

  MainWindow& open(int selectedNodeIndex) {
    const std::string file = f->dir.file("Chain.vnk");
    WriteChain(file, kDepth);
    f->settings().writeString("LastVNKFile", file);
    f->settings().writeInt("SelectedNodeIndex", selectedNodeIndex);
    WindowServices services;
    services.programDir = emulator->path();
    return f->openActive(services);
  }
  bool isOpen(MainWindow& w, const TreeNode* node) {
    return w.treeView().isExpanded(w.treeModel().indexOf(node));
  }
  bool isShown(MainWindow& w, const TreeNode* node) {
    return w.treeView().visualRect(w.treeModel().indexOf(node)).isValid();
  }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    emulator = std::make_unique<test::RecordingEmulator>();
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
    emulator.reset();
  }

  // What the companion leaves after running the deepest connection: the
  // window starts focused on it, shows its ancestor at the deepest shown
  // level with the note, and Run branch plays every ancestor's macro.
  void startsFocusedOnTheDeepestNodeAndRunsItsBranch() {
    MainWindow& w = open(kDepth);
    TreeNode* deepest = Deepest(w.tree());
    QCOMPARE(deepest->data().Level, kDepth);
    QCOMPARE(w.focusedNode(), deepest);
    TreeNode* edge = AtLevel(deepest, kDeepest);
    QVERIFY(isOpen(w, edge->parent()));
    QVERIFY(!isOpen(w, edge));
    QVERIFY(isShown(w, edge));
    QVERIFY(!isShown(w, deepest));
    // Scrolled to, sideways too: the edge row starts inside the view.
    const QRect row = w.treeView().visualRect(w.treeModel().indexOf(edge));
    QVERIFY(w.treeView().viewport()->rect().contains(row.topLeft()));
    QCOMPARE(w.treeModel().data(w.treeModel().indexOf(edge)).toString(),
             QStringLiteral("n%1  \u2026 deeper levels not shown: %2").arg(kDeepest).arg(kDepth - kDeepest));
    QCOMPARE(w.treeModel().data(w.treeModel().indexOf(edge), Qt::EditRole).toString(),
             QStringLiteral("n%1").arg(kDeepest));  // renaming edits the name alone

    w.treeView().setFocus();
    QVERIFY(test::Trigger(w, "BtnRunBranch"));
    // The emulator's record, once it is written whole.
    const std::vector<nlohmann::json> lines = emulator->records(1, std::chrono::seconds(30));
    QCOMPARE(lines.size(), std::size_t(1));
    const std::string macro = lines[0]["macro"];
    QVERIFY(macro.starts_with("sendln 1\r\nsendln 2\r\n"));
    QVERIFY(macro.ends_with("sendln " + std::to_string(kDepth - 1) + "\r\nsendln " + std::to_string(kDepth) +
                            "\r\n"));
    QCOMPARE(std::count(macro.begin(), macro.end(), '\n'), std::ptrdiff_t{kDepth});
  }

  // Expand all, "*" and a click on the edge node open nothing below the
  // deepest shown level; Collapse all closes everything.
  void expandingStopsAtTheDeepestShownLevel() {
    MainWindow& w = open(0);
    TreeNode* deepest = Deepest(w.tree());
    TreeNode* edge = AtLevel(deepest, kDeepest);
    QVERIFY(test::Trigger(w, "MnExpandAll"));
    QVERIFY(isOpen(w, w.tree().top()));
    QVERIFY(isOpen(w, edge->parent()));
    QVERIFY(isShown(w, edge));
    QVERIFY(!isOpen(w, edge));
    QVERIFY(!isShown(w, edge->firstChild()));

    QVERIFY(test::Trigger(w, "MnCollapseAll"));
    QVERIFY(!isOpen(w, w.tree().top()));
    QVERIFY(!isOpen(w, edge->parent()));
    QCOMPARE(w.focusedNode(), w.tree().top());

    w.treeView().setFocus();
    QTest::keyClick(&w.treeView(), Qt::Key_Asterisk);
    QVERIFY(isOpen(w, edge->parent()));
    QVERIFY(!isOpen(w, edge));

    // Opening the edge node by hand: it stays closed and keeps the focus where it was.
    TreeNode* above = edge->parent();
    w.selectNode(above);
    w.treeView().expand(w.treeModel().indexOf(edge));
    QVERIFY(!isOpen(w, edge));
    QCOMPARE(w.focusedNode(), above);
    w.treeView().expand(w.treeModel().indexOf(edge->firstChild()));  // below it: nothing either
    QVERIFY(!isOpen(w, edge->firstChild()));
  }

  // The whole chain duplicated and deleted, each undone.
  void deepChainIsDuplicatedDeletedAndRestored() {
    MainWindow& w = open(kDepth);
    TreeNode* n1 = w.tree().top()->child(0);
    w.treeView().setFocus();
    w.selectNode(n1);
    QVERIFY(test::Trigger(w, "MnDuplicate"));
    QCOMPARE(w.tree().count(), 2 * kDepth + 1);
    QCOMPARE(Deepest(*w.tree().top()->child(1))->data().Level, kDepth);
    QVERIFY(test::Trigger(w, "MnUndoTreeChange"));
    QCOMPARE(w.tree().count(), kDepth + 1);

    w.selectNode(n1);
    const DeleteQuestion q = ConfirmDelete(w.tree(), {n1});
    f->prompter.expect(
        q.kind == DeleteQuestion::Kind::Warning ? PromptKind::Warning : PromptKind::Confirmation,
        PromptButtons::YesNo, q.text, PromptAnswer::Yes);
    QVERIFY(test::Trigger(w, "MnDelete"));
    QCOMPARE(w.tree().count(), 1);
    QVERIFY(test::Trigger(w, "MnUndoTreeChange"));
    QCOMPARE(w.tree().count(), kDepth + 1);
    QCOMPARE(Deepest(*w.tree().top())->data().Level, kDepth);
  }

  // An open branch moved deeper: what it carries past the deepest shown
  // level is closed, the rest stays open.
  void openBranchMovedDeeperClosesWhatPassesTheEdge() {
    const std::string file = f->dir.file("Two.vnk");
    std::vector<std::string> entries;
    for (int level = 1; level <= 60; ++level)
      entries.push_back(std::to_string(level) + ":a" + std::to_string(level) + ":");
    for (int level = 1; level <= 60; ++level)
      entries.push_back(std::to_string(level) + ":b" + std::to_string(level) + ":");
    test::WriteVnk(file, entries);
    f->settings().writeString("LastVNKFile", file);
    MainWindow& w = f->openActive();
    QVERIFY(test::Trigger(w, "MnExpandAll"));
    TreeNode* a60 = Deepest(w.tree());
    TreeNode* b1 = w.tree().top()->child(1);
    QVERIFY(isOpen(w, b1->firstChild()));
    w.tree().move(b1, a60, 0);  // b1 .. b59 open at levels 61 .. 119
    TreeNode* b60 = Deepest(w.tree());
    for (TreeNode* n = b1; n != b60; n = n->firstChild())
      QVERIFY2(isOpen(w, n) == (n->data().Level < kDeepest), std::string(n->name()).c_str());
    w.treeView().expand(w.treeModel().indexOf(a60));
    QVERIFY(isShown(w, AtLevel(b60, kDeepest)));
    QVERIFY(!isShown(w, AtLevel(b60, kDeepest + 1)));
  }
};

QTEST_MAIN(DeepTreeTest)
#include "deep_tree_test.moc"
