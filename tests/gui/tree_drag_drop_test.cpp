// Drag and drop inside the tree, with the drag and drop events a mouse drag
// sends to the tree's viewport: above, on and below a node, Ctrl to copy, and
// the drops the tree refuses.
#include <QCursor>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QTreeView>

#include "files/vnk_file.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::WindowFixture;

class TreeDragDropTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;

  MainWindow& open(const std::vector<std::string>& entries) {
    MainWindow& w = f->openActiveOn(entries);
    w.treeView().expandAll();
    return w;
  }
  // The point of `target`'s row where a drop lands above, on or below it.
  QPoint point(MainWindow& w, const TreeNode* target, DropMark mark) {
    const QRect r = w.treeView().visualRect(w.treeModel().indexOf(target));
    switch (mark) {
      case DropMark::Above:
        return {r.center().x(), r.top()};
      case DropMark::Below:
        return {r.center().x(), r.bottom()};
      default:
        return r.center();
    }
  }
  // Drags the selection of `dragged` onto `target`; true when the tree
  // accepted the drop.
  // `pauseMs`: the mouse rests over the target that long before the drop.
  bool drag(MainWindow& w, const std::vector<TreeNode*>& dragged, TreeNode* target, DropMark mark,
            bool ctrl = false, QMimeData* foreign = nullptr, int pauseMs = 0) {
    QTreeView& view = w.treeView();
    view.setFocus();
    w.selectNode(dragged.front());
    QModelIndexList indexes;
    for (TreeNode* n : dragged) {
      const QModelIndex i = w.treeModel().indexOf(n);
      view.selectionModel()->select(i, QItemSelectionModel::Select);
      indexes << i;
    }
    std::unique_ptr<QMimeData> mime(foreign ? foreign : w.treeModel().mimeData(indexes));
    const QPoint at = point(w, target, mark);
    const Qt::KeyboardModifiers mods = ctrl ? Qt::ControlModifier : Qt::NoModifier;
    const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
    QDragEnterEvent enter(at, actions, mime.get(), Qt::LeftButton, mods);
    QApplication::sendEvent(view.viewport(), &enter);
    QDragMoveEvent move(at, actions, mime.get(), Qt::LeftButton, mods);
    QApplication::sendEvent(view.viewport(), &move);
    if (!move.isAccepted()) return false;
    if (pauseMs > 0) {
      QCursor::setPos(view.viewport()->mapToGlobal(at));
      QTest::qWait(pauseMs);
      QDragMoveEvent again(at, actions, mime.get(), Qt::LeftButton, mods);
      QApplication::sendEvent(view.viewport(), &again);
      if (!again.isAccepted()) return false;
    }
    QDropEvent dropped(at, actions, mime.get(), Qt::LeftButton, mods);
    QApplication::sendEvent(view.viewport(), &dropped);
    return dropped.isAccepted();
  }
  std::string outline(MainWindow& w) {
    std::string out;
    for (TreeNode* n = ConnectionTree::next(w.tree().top()); n; n = ConnectionTree::next(n))
      out += std::string(static_cast<std::size_t>(2 * (n->data().Level - 1)), ' ') + std::string(n->name()) +
             "\n";
    return out;
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  // The three marks, with the fix-up of names; the subtree keeps its shape
  // through a save and a reload.
  void dropMarksPlaceTheNodes() {
    MainWindow& w = open({"1:a:", "2:a1:", "3:a2:", "1:b:", "1:c:", "1:d:"});
    TreeNode* top = w.tree().top();
    TreeNode* a = top->child(0);
    TreeNode* b = top->child(1);
    TreeNode* d = top->child(3);
    QVERIFY(drag(w, {a}, d, DropMark::On));
    QCOMPARE(outline(w), std::string("b\nc\nd\n  a\n    a1\n      a2\n"));
    QCOMPARE(w.focusedNode(), a);
    QVERIFY(w.isDocumentModified());
    QVERIFY(drag(w, {d}, b, DropMark::Above));
    QCOMPARE(outline(w), std::string("d\n  a\n    a1\n      a2\nb\nc\n"));
    QVERIFY(drag(w, {b}, a, DropMark::Below));
    QCOMPARE(outline(w), std::string("d\n  a\n    a1\n      a2\n  b\nc\n"));

    ConnectionTree reread;
    ReadConfiguration(reread, WriteConfiguration(w.tree()), false);
    QCOMPARE(reread.count(), w.tree().count());
    QCOMPARE(WriteConfiguration(reread), WriteConfiguration(w.tree()));
    w.document().setModified(false);
  }

  // Resting on a node opens it if it is closed and never closes it: a drop on
  // an open branch after a pause lands in it like one on a closed branch.
  void restingOnABranchOnlyOpensIt() {
    MainWindow& w = open({"1:a:", "2:a1:", "1:b:", "2:b1:", "1:c:", "1:d:"});
    TreeNode* top = w.tree().top();
    TreeNode* a = top->child(0);
    TreeNode* b = top->child(1);
    QTreeView& view = w.treeView();
    QVERIFY(view.isExpanded(w.treeModel().indexOf(a)));
    QVERIFY(drag(w, {top->child(2)}, a, DropMark::On, false, nullptr, 700));
    QCOMPARE(outline(w), std::string("a\n  a1\n  c\nb\n  b1\nd\n"));
    QVERIFY(view.isExpanded(w.treeModel().indexOf(a)));

    view.collapse(w.treeModel().indexOf(b));
    QVERIFY(drag(w, {top->child(2)}, b, DropMark::On, /*ctrl=*/true, nullptr, 700));
    QVERIFY(view.isExpanded(w.treeModel().indexOf(b)));
    QCOMPARE(outline(w), std::string("a\n  a1\n  c\nb\n  b1\n  d\nd\n"));
    w.document().setModified(false);
  }

  // Ctrl copies; the copy of a namesake is renamed; one undo takes it back.
  void ctrlCopiesAndUndoTakesItBack() {
    MainWindow& w = open({"1:a:", "2:x:", "1:b:", "2:x:"});
    TreeNode* top = w.tree().top();
    const std::string before = WriteConfiguration(w.tree());
    QVERIFY(drag(w, {top->child(0)->child(0)}, top->child(1), DropMark::On, /*ctrl=*/true));
    QCOMPARE(outline(w), std::string("a\n  x\nb\n  x\n  Copy of x\n"));
    w.refreshCommands();
    w.findChild<QAction*>(QStringLiteral("MnUndoTreeChange"))->trigger();
    QCOMPARE(WriteConfiguration(w.tree()), before);
    // Dropped above the namesake, the copy is still the one renamed.
    QVERIFY(drag(w, {top->child(0)->child(0)}, top->child(1)->child(0), DropMark::Above, /*ctrl=*/true));
    QCOMPARE(outline(w), std::string("a\n  x\nb\n  Copy of x\n  x\n"));
    w.document().setModified(false);
  }

  // Refused: beside the top node, onto a separator, onto the node itself or
  // into its own branch, and anything that was not dragged from this tree.
  void refusedDropsChangeNothing() {
    MainWindow& w = open({"1:a:", "2:a1:", "1:-", "1:b:"});
    TreeNode* top = w.tree().top();
    TreeNode* a = top->child(0);
    const std::string before = WriteConfiguration(w.tree());
    QVERIFY(!drag(w, {top->child(2)}, top, DropMark::Above));
    QVERIFY(!drag(w, {top->child(2)}, top, DropMark::Below));
    QVERIFY(!drag(w, {a}, top->child(1), DropMark::On));
    QVERIFY(!drag(w, {a}, a, DropMark::On));
    QVERIFY(!drag(w, {a}, a->child(0), DropMark::Below));
    auto* foreign = new QMimeData;
    foreign->setData(QStringLiteral("application/x-varnok-tree-data"), QByteArray("VNKNODES1"));
    QVERIFY(!drag(w, {a}, top->child(2), DropMark::On, false, foreign));
    QCOMPARE(WriteConfiguration(w.tree()), before);
    QVERIFY(!w.isDocumentModified());
    // Onto the top node is a drop into the first level.
    QVERIFY(drag(w, {a->child(0)}, top, DropMark::On));
    QCOMPARE(outline(w), std::string("a\n----- separator line -----\nb\na1\n"));
    w.document().setModified(false);
  }
};

QTEST_MAIN(TreeDragDropTest)
#include "tree_drag_drop_test.moc"
