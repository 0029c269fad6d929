// "Undo tree change" and "Redo tree change" through the window: every tree
// operation is one step; undo brings back the saved bytes, the focus and the
// selection of before it.
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <algorithm>

#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

class TreeUndoTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;

  MainWindow& open(const std::vector<std::string>& entries) { return f->openActiveOn(entries); }
  QAction* action(MainWindow& w, const char* name) {
    return w.findChild<QAction*>(QString::fromLatin1(name));
  }
  void trigger(MainWindow& w, const char* name) { QVERIFY2(test::Trigger(w, name), name); }
  void run(MainWindow& w, TreeNode* node, const char* name) {
    w.treeView().setFocus();
    w.selectNode(node);
    trigger(w, name);
  }
  std::string saved(MainWindow& w) { return WriteConfiguration(w.tree()); }
  std::vector<TreeNode*> selected(MainWindow& w) {
    std::vector<TreeNode*> nodes;
    for (const QModelIndex& i : w.treeView().selectionModel()->selectedIndexes())
      nodes.push_back(w.treeModel().node(i));
    std::sort(nodes.begin(), nodes.end());
    return nodes;
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  // Each operation is undone to the bytes, focus and selection from before
  // it, and redone to those from after it.
  void everyOperationUndoesAndRedoes() {
    MainWindow& w = open({"1:alpha:login", "2:inner:x", "1:beta:", "1:gamma:g"});
    TreeNode* top = w.tree().top();
    TreeNode* alpha = top->child(0);
    TreeNode* beta = top->child(1);
    QVERIFY(!action(w, "MnUndoTreeChange")->isEnabled());

    struct State {
      std::string bytes;
      TreeNode* focus;
      std::vector<TreeNode*> selection;
    };
    std::vector<State> before, after;  // around each step
    auto now = [&] { return State{saved(w), w.focusedNode(), selected(w)}; };
    // Focuses the node, notes the state, runs the command, notes the state.
    auto step = [&](TreeNode* node, const char* name) {
      w.treeView().setFocus();
      w.selectNode(node);
      before.push_back(now());
      trigger(w, name);
      after.push_back(now());
    };
    step(alpha, "MnAddChild");
    step(beta, "MnDuplicate");
    step(beta, "MnMoveUp");
    // Naming in place.
    w.selectNode(beta);
    before.push_back(now());
    QTest::keyClick(&w.treeView(), Qt::Key_F2);
    auto* editor = w.treeView().findChild<QLineEdit*>(QStringLiteral("VTEditor"));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("router"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(std::string(beta->name()), std::string("router"));  // renamed once the editor has closed
    after.push_back(now());
    // A branch and a sibling deleted together, with the question.
    w.treeView().setFocus();
    w.selectNode(alpha);
    w.treeView().selectionModel()->select(w.treeModel().indexOf(top->child(3)), QItemSelectionModel::Select);
    before.push_back(now());
    f->prompter.expect(PromptKind::Confirmation, PromptButtons::YesNo,
                       "Deleting 2 connections. All descendant connections will be also deleted.\rDo you "
                       "want to continue?",
                       PromptAnswer::Yes);
    trigger(w, "BtnDelete");
    QCOMPARE(w.focusedNode(), top);
    after.push_back(now());

    for (std::size_t i = before.size(); i-- > 0;) {
      w.document().setModified(false);
      trigger(w, "MnUndoTreeChange");
      QCOMPARE(saved(w), before[i].bytes);
      QCOMPARE(w.focusedNode(), before[i].focus);
      QCOMPARE(selected(w), before[i].selection);
      QVERIFY2(w.isDocumentModified(), "an undo marks the document");
    }
    w.refreshCommands();
    QVERIFY(!action(w, "MnUndoTreeChange")->isEnabled());
    QCOMPARE(std::string(alpha->child(0)->name()), std::string("inner"));  // the very nodes came back
    for (std::size_t i = 0; i < after.size(); ++i) {
      trigger(w, "MnRedoTreeChange");
      QCOMPARE(saved(w), after[i].bytes);
      QCOMPARE(w.focusedNode(), after[i].focus);
      QCOMPARE(selected(w), after[i].selection);
    }
    w.refreshCommands();
    QVERIFY(!action(w, "MnRedoTreeChange")->isEnabled());
    w.document().setModified(false);
  }

  // A range of first-level connections selected by click and Shift+click,
  // and one node below another parent by Ctrl+click: the delete and its undo
  // and redo give the bytes, focus and selection of before and after, and
  // the selection comes back as ranges, not one range per node.
  void aDeletedRangeComesBackAsARange() {
    MainWindow& w = open({"1:n0:", "1:n1:a", "2:c1:", "1:n2:", "1:n3:", "1:n4:", "1:n5:", "2:c5:", "2:d5:"});
    TreeNode* top = w.tree().top();
    TreeNode* d5 = top->child(5)->child(1);
    w.treeView().expand(w.treeModel().indexOf(top->child(5)));
    w.treeView().setFocus();
    auto click = [&](TreeNode* n, Qt::KeyboardModifiers modifiers) {
      const QModelIndex index = w.treeModel().indexOf(n);
      w.treeView().scrollTo(index);
      QTest::mouseClick(w.treeView().viewport(), Qt::LeftButton, modifiers,
                        w.treeView().visualRect(index).center());
    };
    click(top->child(1), Qt::NoModifier);
    click(top->child(4), Qt::ShiftModifier);
    click(d5, Qt::ControlModifier);
    const std::string bytes = saved(w);
    const std::vector<TreeNode*> selection = selected(w);
    QCOMPARE(selection.size(), std::size_t{5});
    TreeNode* focus = w.focusedNode();
    QCOMPARE(focus, d5);

    f->prompter.expect(PromptKind::Confirmation, PromptButtons::YesNo,
                       "Deleting 5 connections. All descendant connections will be also deleted.\rDo you "
                       "want to continue?",
                       PromptAnswer::Yes);
    trigger(w, "MnDelete");
    QCOMPARE(w.tree().count(), 4);
    QCOMPARE(w.focusedNode(), top->child(1));  // d5's parent, n5
    const std::string after = saved(w);

    trigger(w, "MnUndoTreeChange");
    QCOMPARE(saved(w), bytes);
    QCOMPARE(w.focusedNode(), focus);
    QCOMPARE(selected(w), selection);
    QCOMPARE(w.treeView().selectionModel()->selection().size(), 2);

    trigger(w, "MnRedoTreeChange");
    QCOMPARE(saved(w), after);
    QCOMPARE(w.focusedNode(), top->child(1));
    w.document().setModified(false);
  }

  // Unapplied page edits hold the history back; Apply is a step of its own;
  // Save keeps the history and New empties it.
  void applySaveAndNewMeetTheHistory() {
    MainWindow& w = open({"1:alpha:login", "1:beta:"});
    TreeNode* alpha = w.tree().top()->child(0);
    run(w, alpha, "MnAddChild");
    auto* macro = Child<QsciScintilla>(w, "Memo1");
    macro->setFocus();
    QTest::keyClicks(macro, QStringLiteral("X"));
    QVERIFY(w.connectionModified());
    w.refreshCommands();
    QVERIFY(!action(w, "MnUndoTreeChange")->isEnabled());
    QCOMPARE(action(w, "MnUndoTreeChange")->statusTip(),
             QStringLiteral("Apply or discard the changes first"));
    trigger(w, "BtnApply");
    const std::string applied(alpha->data().Macro);
    QVERIFY(applied != EncodeText("login"));

    w.treeView().setFocus();
    trigger(w, "MnUndoTreeChange");
    QCOMPARE(std::string(alpha->data().Macro), EncodeText("login"));
    // The pages show the record as it is again.
    QCOMPARE(Child<QsciScintilla>(w, "Memo1")->text(), QStringLiteral("login"));
    trigger(w, "MnRedoTreeChange");
    QCOMPARE(std::string(alpha->data().Macro), applied);

    trigger(w, "BtnSave");
    w.refreshCommands();
    QVERIFY(action(w, "MnUndoTreeChange")->isEnabled());
    trigger(w, "BtnNew");
    w.refreshCommands();
    QVERIFY(!action(w, "MnUndoTreeChange")->isEnabled());
  }
};

QTEST_MAIN(TreeUndoTest)
#include "tree_undo_test.moc"
