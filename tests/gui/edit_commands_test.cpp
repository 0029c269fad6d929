// Undo, Cut, Copy, Paste and Select All through the window's commands, on
// the tree (nodes through the clipboard, cut images, paste as first children)
// and on the text controls (with the marks each one calls for).
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTreeView>

#include "files/vnk_file.h"
#include "tree/tree_clipboard.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

class EditCommandsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;

  MainWindow& open(const std::vector<std::string>& entries) { return f->openActiveOn(entries); }
  QAction* action(MainWindow& w, const char* name) {
    return w.findChild<QAction*>(QString::fromLatin1(name));
  }
  bool enabled(MainWindow& w, const char* name) {
    w.refreshCommands();
    return action(w, name)->isEnabled();
  }
  void trigger(MainWindow& w, const char* name) {
    QVERIFY2(enabled(w, name), name);
    action(w, name)->trigger();
  }
  void focusNode(MainWindow& w, TreeNode* node) {
    w.treeView().setFocus();
    w.selectNode(node);
  }
  // The tree's outline as saved: names indented by level.
  std::string outline(MainWindow& w) {
    ConnectionTree copy;
    ReadConfiguration(copy, WriteConfiguration(w.tree()), false);
    std::string out;
    for (TreeNode* n = ConnectionTree::next(copy.top()); n; n = ConnectionTree::next(n))
      out += std::string(static_cast<std::size_t>(2 * (n->data().Level - 1)), ' ') + std::string(n->name()) +
             "\n";
    return out;
  }
  qint64 picture(MainWindow& w, const TreeNode* node) {
    return w.treeModel().data(w.treeModel().indexOf(node), Qt::DecorationRole).value<QIcon>().cacheKey();
  }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    QApplication::clipboard()->clear();
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  // Copy takes the branch along; the copy goes in first below the target,
  // a clash of names is resolved, and the paste is one undoable step.
  void copiedBranchPastesAsFirstChildren() {
    MainWindow& w = open({"1:site:", "2:router:r", "3:switch:s", "1:lab:", "2:router:x"});
    TreeNode* top = w.tree().top();
    TreeNode* router = top->child(0)->child(0);
    TreeNode* lab = top->child(1);
    focusNode(w, router);
    QVERIFY(!enabled(w, "BtnUndo"));  // the tree has no text undo
    trigger(w, "BtnCopy");
    QVERIFY(TreeClipboard::holdsNodes());
    const qint64 before = picture(w, router->child(0));
    QCOMPARE(picture(w, router->child(0)), before);  // a copy draws no cut images

    focusNode(w, lab);
    const std::string saved = WriteConfiguration(w.tree());
    trigger(w, "BtnPaste");
    // The pasted copy takes the new name; lab's own router keeps its name.
    QCOMPARE(outline(w),
             std::string("site\n  router\n    switch\nlab\n  Copy of router\n    switch\n  router\n"));
    QVERIFY(w.isDocumentModified());
    QVERIFY(w.treeView().isExpanded(w.treeModel().indexOf(lab)));
    QCOMPARE(w.focusedNode(), lab);
    trigger(w, "MnUndoTreeChange");
    QCOMPARE(WriteConfiguration(w.tree()), saved);
    w.document().setModified(false);
  }

  // Cut draws the branch with the cut images; Paste moves the very nodes.
  void cutNodesMoveOnPaste() {
    MainWindow& w = open({"1:a:", "2:a1:m", "1:b:", "1:c:"});
    TreeNode* top = w.tree().top();
    TreeNode* a = top->child(0);
    TreeNode* a1 = a->child(0);
    const qint64 plain = picture(w, a1);
    focusNode(w, a);
    trigger(w, "MnCut");
    QVERIFY(picture(w, a) != 0);
    QVERIFY(picture(w, a1) != plain);  // the subtree is marked too

    // Not into its own branch.
    focusNode(w, a1);
    f->prompter.expect(PromptKind::Warning, PromptButtons::OK,
                       "Connections cannot be moved into their own branch.", PromptAnswer::OK);
    trigger(w, "MnPaste");
    QCOMPARE(top->child(0), a);

    focusNode(w, top->child(2));
    trigger(w, "MnPaste");
    QCOMPARE(outline(w), std::string("b\nc\n  a\n    a1\n"));
    QCOMPARE(top->child(1)->child(0), a);
    QCOMPARE(picture(w, a1), plain);  // the cut has ended
    // A second paste copies what is still on the clipboard.
    focusNode(w, top->child(0));
    trigger(w, "MnPaste");
    QCOMPARE(outline(w), std::string("b\n  a\n    a1\nc\n  a\n    a1\n"));
    w.document().setModified(false);
  }

  // Applying a node that is cut ends the cut, and so does naming it in
  // place: its picture is plain again and a paste copies it, leaving it
  // where it is.
  void applyOrNamingEndsTheCutOfTheNode() {
    MainWindow& w = open({"1:a:m", "1:b:", "1:c:"});
    TreeNode* top = w.tree().top();
    TreeNode* a = top->child(0);
    const qint64 plain = picture(w, a);
    focusNode(w, a);
    trigger(w, "BtnCut");
    QVERIFY(picture(w, a) != plain);
    w.refreshCommands();
    auto* editor = Child<QsciScintilla>(w, "Memo1");
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("x"));
    trigger(w, "BtnApply");
    QCOMPARE(picture(w, a), plain);
    focusNode(w, top->child(1));
    trigger(w, "BtnPaste");
    QCOMPARE(outline(w), std::string("a\nb\n  a\nc\n"));
    QCOMPARE(top->child(0), a);

    TreeNode* c = top->child(2);
    const qint64 plainC = picture(w, c);
    focusNode(w, c);
    trigger(w, "BtnCut");
    QTest::keyClick(&w.treeView(), Qt::Key_F2);
    auto* name = w.treeView().findChild<QLineEdit*>(QStringLiteral("VTEditor"));
    QVERIFY(name);
    QTest::keyClick(name, Qt::Key_Escape);
    QCOMPARE(picture(w, c), plainC);
    focusNode(w, top->child(0));
    trigger(w, "BtnPaste");
    QCOMPARE(outline(w), std::string("a\n  c\nb\n  a\nc\n"));
    w.document().setModified(false);
  }

  // Whatever else lands on the clipboard ends a pending cut.
  void otherClipboardContentEndsTheCut() {
    MainWindow& w = open({"1:a:", "1:b:"});
    TreeNode* a = w.tree().top()->child(0);
    const qint64 plain = picture(w, a);
    focusNode(w, a);
    trigger(w, "BtnCut");
    QVERIFY(picture(w, a) != plain);
    QApplication::clipboard()->setText(QStringLiteral("hello"));
    QCOMPARE(picture(w, a), plain);
    QVERIFY(!enabled(w, "BtnPaste"));  // the tree wants nodes
  }

  void damagedClipboardNodesAreReported() {
    MainWindow& w = open({"1:a:"});
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kNodeClipboardFormat), QByteArray("VNKNODES1\x05\x00"));
    QApplication::clipboard()->setMimeData(mime);
    focusNode(w, w.tree().top()->child(0));
    f->prompter.expect(PromptKind::Warning, PromptButtons::OK,
                       "The clipboard holds no connections that can be pasted.", PromptAnswer::OK);
    const std::string saved = WriteConfiguration(w.tree());
    trigger(w, "BtnPaste");
    QCOMPARE(WriteConfiguration(w.tree()), saved);
    QVERIFY(!w.isDocumentModified());
  }

  // The top node takes no part in Copy, Cut or Delete.
  void topNodeInTheSelectionDisablesCopy() {
    MainWindow& w = open({"1:a:"});
    focusNode(w, w.tree().top()->child(0));
    QVERIFY(enabled(w, "BtnCopy"));
    w.treeView().selectionModel()->select(w.treeModel().indexOf(w.tree().top()), QItemSelectionModel::Select);
    QVERIFY(!enabled(w, "BtnCopy"));
    QVERIFY(!enabled(w, "BtnCut"));
    QVERIFY(!enabled(w, "BtnDelete"));
  }

  // Select All takes in the nodes of collapsed branches; unapplied edits
  // are asked about first, and Cancel selects nothing.
  void selectAllInTheTree() {
    MainWindow& w = open({"1:a:x", "2:hidden:", "1:b:"});
    TreeNode* a = w.tree().top()->child(0);
    w.treeView().collapse(w.treeModel().indexOf(a));
    focusNode(w, a);
    trigger(w, "MnSelectAll");
    QCOMPARE(w.treeView().selectionModel()->selectedIndexes().size(), 4);
    QVERIFY(!enabled(w, "MnSelectAll"));

    focusNode(w, a);
    auto* macro = Child<QsciScintilla>(w, "Memo1");
    macro->setFocus();
    QTest::keyClicks(macro, QStringLiteral("y"));
    w.treeView().setFocus();
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel,
                       "Do you want to apply the changes you made to  'a' ?", PromptAnswer::Cancel);
    trigger(w, "MnSelectAll");
    QCOMPARE(w.treeView().selectionModel()->selectedIndexes().size(), 1);
    QVERIFY(w.connectionModified());
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel,
                       "Do you want to apply the changes you made to  'a' ?", PromptAnswer::No);
    trigger(w, "MnSelectAll");
    QCOMPARE(w.treeView().selectionModel()->selectedIndexes().size(), 4);
    QVERIFY(!w.connectionModified());
  }

  // The text controls: the macro editor marks the connection, the settings
  // fields mark nothing, the in-place editor marks the document.
  void textCommandsFollowTheFocusedControl() {
    MainWindow& w = open({"1:a:first line"});
    focusNode(w, w.tree().top()->child(0));
    w.refreshCommands();
    auto* macro = Child<QsciScintilla>(w, "Memo1");
    macro->setFocus();
    trigger(w, "MnSelectAll");
    QCOMPARE(macro->selectedText(), QStringLiteral("first line"));
    trigger(w, "BtnCopy");
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("first line"));
    QVERIFY(!w.connectionModified());
    trigger(w, "BtnCut");
    QCOMPARE(macro->text(), QString());
    QVERIFY(w.connectionModified());
    trigger(w, "BtnUndo");
    QCOMPARE(macro->text(), QStringLiteral("first line"));

    auto* name = Child<QLineEdit>(w, "Edit1");
    name->setFocus();
    name->clear();
    trigger(w, "BtnPaste");
    QCOMPARE(name->text(), QStringLiteral("first line"));

    w.document().setModified(false);
    w.treeView().setFocus();
    QTest::keyClick(&w.treeView(), Qt::Key_F2);
    auto* editor = w.treeView().findChild<QLineEdit*>(QStringLiteral("VTEditor"));
    QVERIFY(editor);
    QCOMPARE(QApplication::focusWidget(), editor);
    editor->end(false);
    trigger(w, "MnPaste");
    QCOMPARE(editor->text(), QStringLiteral("afirst line"));
    QVERIFY(w.isDocumentModified());
    QTest::keyClick(editor, Qt::Key_Escape);
    w.document().setModified(false);
  }
};

QTEST_MAIN(EditCommandsTest)
#include "edit_commands_test.moc"
