// Shaping the tree through the window's commands: add, duplicate, move and
// delete with their questions, as a user does it with the tree focused.
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "common/stored_text.h"
#include "tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

class TreeEditingTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;

  MainWindow& open(const std::vector<std::string>& entries) { return f->openActiveOn(entries); }
  // Focuses a node in the tree and lets the refresh settle, then runs a command.
  void run(MainWindow& w, TreeNode* node, const char* action) {
    w.treeView().setFocus();
    w.selectNode(node);
    w.RefreshCommands();
    QAction* a = w.findChild<QAction*>(QString::fromLatin1(action));
    QVERIFY2(a && a->isEnabled(), action);
    a->trigger();
  }
  TreeNode* top(MainWindow& w) { return w.tree().top(); }
  // F2 on the node, the text typed over the name, then Enter (or Esc).
  void nameInPlace(MainWindow& w, TreeNode* node, const QString& text, Qt::Key end = Qt::Key_Return) {
    w.treeView().setFocus();
    w.selectNode(node);
    QTest::keyClick(&w.treeView(), Qt::Key_F2);
    auto* editor = w.treeView().findChild<QLineEdit*>(QStringLiteral("VTEditor"));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QPointer<QLineEdit> open(editor);
    QTest::keyClick(editor, end);
    // The name is applied once the editor has gone (on a busy machine that takes a while).
    QTRY_VERIFY(!open || !open->isVisible());
    QTest::qWait(50);
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  void addChildAndSiblingKeepTheFocus() {
    MainWindow& w = open({"1:alpha:login"});
    TreeNode* alpha = top(w)->child(0);
    run(w, alpha, "BtnAddChild");
    QCOMPARE(alpha->childCount(), 1);
    QCOMPARE(std::string(alpha->child(0)->name()), std::string("Unnamed connection #1"));
    QCOMPARE(w.focusedNode(), alpha);
    QVERIFY(w.treeView().isExpanded(w.treeModel().indexOf(alpha)));
    QVERIFY(w.isDocumentModified());
    run(w, alpha, "MnAddSibling");
    QCOMPARE(top(w)->childCount(), 2);
    QCOMPARE(std::string(top(w)->child(1)->name()), std::string("Unnamed connection #2"));
    QCOMPARE(w.focusedNode(), alpha);
    // The separator line takes the focus.
    run(w, alpha, "MnAddSeparator");
    QVERIFY(top(w)->child(1)->isSeparator());
    QCOMPARE(w.focusedNode(), top(w)->child(1));
  }

  void duplicateNamesTheCopy() {
    MainWindow& w = open({"1:alpha:login", "2:inner:x"});
    run(w, top(w)->child(0), "MnDuplicate");
    QCOMPARE(top(w)->childCount(), 2);
    TreeNode* copy = top(w)->child(1);
    QCOMPARE(std::string(copy->name()), std::string("Copy of alpha"));
    QCOMPARE(copy->childCount(), 1);
    QCOMPARE(w.focusedNode(), copy);
  }

  void moveUpAndDown() {
    MainWindow& w = open({"1:a:", "1:b:", "1:c:"});
    TreeNode* b = top(w)->child(1);
    run(w, b, "BtnMoveUp");
    QCOMPARE(top(w)->child(0), b);
    QCOMPARE(w.focusedNode(), b);
    w.RefreshCommands();
    QVERIFY(!w.findChild<QAction*>(QStringLiteral("BtnMoveUp"))->isEnabled());
    run(w, b, "MnMoveDown");
    run(w, b, "MnMoveDown");
    QCOMPARE(top(w)->child(2), b);
  }

  void deleteAsksAsTheRulesSay() {
    MainWindow& w = open({"1:plain:", "1:with macro:login", "1:parent:", "2:kid:"});
    // A bare connection goes without a question, its parent gets the focus.
    run(w, top(w)->child(0), "BtnDelete");
    QCOMPARE(top(w)->childCount(), 2);
    QCOMPARE(w.focusedNode(), top(w));
    // With a macro: a warning; No keeps it.
    f->prompter.expect(
        PromptKind::Warning, PromptButtons::YesNo,
        "Connection 'with macro' with associated data will be deleted.\rDo you want to continue?",
        PromptAnswer::No);
    run(w, top(w)->child(0), "BtnDelete");
    QCOMPARE(top(w)->childCount(), 2);
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNo,
                       "Connection 'parent' with all descendants \rand associated data will be deleted.\r"
                       "Do you want to continue?",
                       PromptAnswer::Yes);
    run(w, top(w)->child(1), "MnDelete");
    QCOMPARE(top(w)->childCount(), 1);
    QCOMPARE(w.tree().count(), 2);
  }

  void namingInPlaceFollowsTheNameRules() {
    MainWindow& w = open({"1:alpha:login", "1:beta:", "2:kid:"});
    TreeNode* alpha = top(w)->child(0);
    nameInPlace(w, alpha, QStringLiteral("router"));
    QCOMPARE(std::string(alpha->name()), std::string("router"));
    QVERIFY(w.isDocumentModified());
    w.UpdateCaption(false);
    nameInPlace(w, alpha, QStringLiteral("gone"), Qt::Key_Escape);
    QCOMPARE(std::string(alpha->name()), std::string("router"));
    QVERIFY(!w.isDocumentModified());

    f->prompter.expect(PromptKind::Warning, PromptButtons::OK, "Connection name cannot be empty.",
                       PromptAnswer::OK);
    nameInPlace(w, alpha, QStringLiteral("   "));
    QCOMPARE(std::string(alpha->name()), std::string("router"));
    f->prompter.expect(PromptKind::Warning, PromptButtons::OK,
                       "Connection name has to be unique among its sibling connections.", PromptAnswer::OK);
    nameInPlace(w, alpha, QStringLiteral("beta"));
    QCOMPARE(std::string(alpha->name()), std::string("router"));

    f->prompter.expect(
        PromptKind::Warning, PromptButtons::OK,
        "Connection 'beta' cannot be replaced with separator line\rbecause it has at least one child.",
        PromptAnswer::OK);
    nameInPlace(w, top(w)->child(1), QStringLiteral("-"));
    QVERIFY(!top(w)->child(1)->isSeparator());
    f->prompter.expect(
        PromptKind::Warning, PromptButtons::YesNo,
        "Connection 'router' will be converted into separator line.\nAll associated data will be "
        "deleted.\n\rDo you want to continue?",
        PromptAnswer::Yes);
    nameInPlace(w, alpha, QStringLiteral("-"));
    QVERIFY(alpha->isSeparator());
    QVERIFY(alpha->data().Macro.empty());
    w.UpdateCaption(false);
  }

  // Collapsing a branch focuses and selects the collapsed node.
  void collapsedNodeTakesTheFocus() {
    MainWindow& w = open({"1:parent:", "2:kid:k"});
    TreeNode* parent = top(w)->child(0);
    w.treeView().setFocus();
    w.selectNode(parent->child(0));
    w.RefreshCommands();
    w.treeView().collapse(w.treeModel().indexOf(parent));
    QCOMPARE(w.focusedNode(), parent);
    QVERIFY(w.treeView().selectionModel()->isSelected(w.treeModel().indexOf(parent)));
    QCOMPARE(Child<QsciScintilla>(w, "Memo1")->text(), QString());
  }

  // The tree's context menu offers the tree items while the tree has the focus.
  void contextMenuItemsFollowTheTreeFocus() {
    MainWindow& w = open({"1:alpha:"});
    w.treeView().setFocus();
    w.selectNode(top(w)->child(0));
    w.RefreshCommands();
    QAction* addChild = w.findChild<QAction*>(QStringLiteral("pmAddChild"));
    QVERIFY(addChild && addChild->isVisible() && addChild->isEnabled());
    addChild->trigger();
    QCOMPARE(top(w)->child(0)->childCount(), 1);
    Child<QsciScintilla>(w, "Memo1")->setFocus();
    w.RefreshCommands();
    QVERIFY(!addChild->isVisible());

    // A right click in the tree opens it.
    auto* menu = w.findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    bool shown = false;
    QTimer::singleShot(50, [&] {
      shown = menu->isVisible();
      menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 5),
                            w.treeView().viewport()->mapToGlobal(QPoint(10, 5)));
    QApplication::sendEvent(w.treeView().viewport(), &event);
    QVERIFY(shown);

    // The text controls share it, without the tree items.
    for (QWidget* target : {static_cast<QWidget*>(Child<QsciScintilla>(w, "Memo1")->viewport()),
                            static_cast<QWidget*>(Child<QLineEdit>(w, "Edit1"))}) {
      target->setFocus();
      shown = false;
      bool treeItems = true;
      QTimer::singleShot(50, [&] {
        shown = menu->isVisible();
        treeItems = addChild->isVisible();
        menu->close();
      });
      QContextMenuEvent inField(QContextMenuEvent::Mouse, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
      QApplication::sendEvent(target, &inField);
      QVERIFY(shown);
      QVERIFY(!treeItems);
    }
  }

  // Unapplied edits: one question about discarding them; Yes clears "Modified".
  void deleteWithUnappliedEditsAsksToDiscard() {
    MainWindow& w = open({"1:a:x", "1:b:y"});
    w.treeView().setFocus();
    w.selectNode(top(w)->child(0));
    w.RefreshCommands();
    auto* editor = Child<QsciScintilla>(w, "Memo1");
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("z"));
    QVERIFY(w.IsConnectionModified());
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNo,
                       "Do you want to discard all data assosiated with 'a' ?", PromptAnswer::Yes);
    run(w, top(w)->child(0), "BtnDelete");
    QCOMPARE(top(w)->childCount(), 1);
    QCOMPARE(std::string(top(w)->child(0)->name()), std::string("b"));
    QVERIFY(!w.IsConnectionModified());
  }
};

QTEST_MAIN(TreeEditingTest)
#include "tree_editing_test.moc"
