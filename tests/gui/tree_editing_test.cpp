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

#include "commands/command_table.h"
#include "common/stored_text.h"
#include "model/tree_history.h"
#include "tree/tree_model.h"
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
    w.refreshCommands();
    QAction* a = w.findChild<QAction*>(QString::fromLatin1(action));
    QVERIFY2(a && a->isEnabled(), action);
    a->trigger();
  }
  TreeNode* top(MainWindow& w) { return w.tree().top(); }
  // F2 on the node, the text typed over the name, then Enter (or Esc, or
  // Key_unknown: a click elsewhere).
  void nameInPlace(MainWindow& w, TreeNode* node, const QString& text, Qt::Key end = Qt::Key_Return) {
    w.treeView().setFocus();
    w.selectNode(node);
    QTest::keyClick(&w.treeView(), Qt::Key_F2);
    auto* editor = w.treeView().findChild<QLineEdit*>(QStringLiteral("VTEditor"));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QPointer<QLineEdit> open(editor);
    if (end == Qt::Key_unknown)
      QTest::mouseClick(Child<QsciScintilla>(w, "Memo1")->viewport(), Qt::LeftButton);  // elsewhere
    else
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

  // The copy takes the new name; the user's own "Copy of alpha" keeps its name.
  void duplicateNamesOnlyTheCopy() {
    MainWindow& w = open({"1:alpha:login", "2:inner:x", "1:Copy of alpha:"});
    run(w, top(w)->child(0), "MnDuplicate");
    QCOMPARE(top(w)->childCount(), 3);
    TreeNode* copy = top(w)->child(1);
    QCOMPARE(std::string(copy->name()), std::string("Copy (2) of alpha"));
    QCOMPARE(std::string(top(w)->child(2)->name()), std::string("Copy of alpha"));
    QCOMPARE(copy->childCount(), 1);
    QCOMPARE(w.focusedNode(), copy);
  }

  // A tool tip that names a key names one that runs the same command: the
  // key is bound to the command's own button or menu item and to nothing else.
  void toolTipsNameTheKeysThatRunTheirCommands() {
    MainWindow& w = open({"1:a:"});
    int named = 0;
    for (const CommandSpec& spec : CommandTable()) {
      const QString hint = QString::fromLatin1(spec.hint ? spec.hint : "");
      const qsizetype open = hint.lastIndexOf(QLatin1Char('('));
      if (open < 0 || !hint.endsWith(QLatin1Char(')'))) continue;
      // "Ctrl-F8" and "Ctrl+Delete" as the key sequence they mean.
      QString keys = hint.mid(open + 1, hint.size() - open - 2);
      keys.replace(QLatin1Char('-'), QLatin1Char('+'))
          .replace(QStringLiteral("Delete"), QStringLiteral("Del"));
      const QKeySequence key(keys);
      QVERIFY2(key.count() == 1 && key[0].key() != Qt::Key_unknown, qPrintable(hint));
      const QStringList own{QString::fromLatin1(spec.buttonName), QString::fromLatin1(spec.menuName),
                            QString::fromLatin1(spec.contextName ? spec.contextName : "")};
      bool answered = false;
      for (QAction* action : w.findChildren<QAction*>()) {
        if (!action->shortcuts().contains(key)) continue;
        QVERIFY2(own.contains(action->objectName()),
                 qPrintable(hint + QStringLiteral(": the key runs ") + action->objectName()));
        // Context menu items answer keys only while the menu is open.
        answered = answered || action->objectName() != own[2];
      }
      QVERIFY2(answered, qPrintable(hint + QStringLiteral(": no command answers the key")));
      ++named;
    }
    QCOMPARE(named, 17);
  }

  // The keys of the Move tool tips, pressed in the tree.
  void moveKeysMoveTheFocusedNode() {
    MainWindow& w = open({"1:a:", "1:b:", "1:c:"});
    TreeNode* b = top(w)->child(1);
    w.treeView().setFocus();
    w.selectNode(b);
    w.refreshCommands();
    QTest::keyClick(&w.treeView(), Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(top(w)->child(0), b);
    w.refreshCommands();
    QTest::keyClick(&w.treeView(), Qt::Key_D, Qt::ControlModifier);
    w.refreshCommands();
    QTest::keyClick(&w.treeView(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(top(w)->child(2), b);
    w.document().setModified(false);
  }

  void moveUpAndDown() {
    MainWindow& w = open({"1:a:", "1:b:", "1:c:"});
    TreeNode* b = top(w)->child(1);
    run(w, b, "BtnMoveUp");
    QCOMPARE(top(w)->child(0), b);
    QCOMPARE(w.focusedNode(), b);
    w.refreshCommands();
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
    // With a macro: a warning that defaults to No; No keeps it.
    f->prompter.expect(
        PromptKind::Warning, PromptButtons::YesNo,
        "Connection 'with macro' with associated data will be deleted.\rDo you want to continue?",
        PromptAnswer::No);
    run(w, top(w)->child(0), "BtnDelete");
    QCOMPARE(top(w)->childCount(), 2);
    QCOMPARE(f->prompter.asked().back().defaultButton, PromptAnswer::No);
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNo,
                       "Connection 'parent' with all descendants \rand associated data will be deleted.\r"
                       "Do you want to continue?",
                       PromptAnswer::Yes);
    run(w, top(w)->child(1), "MnDelete");
    QCOMPARE(f->prompter.asked().back().defaultButton, PromptAnswer::No);
    QCOMPARE(top(w)->childCount(), 1);
    QCOMPARE(w.tree().count(), 2);
  }

  // Enter alone does not delete much: No is the default for several nodes
  // and for a connection with a macro, also when unapplied edits are
  // discarded; a lone connection with only a popup text defaults to Yes.
  void deleteQuestionsDefaultToNoWhenMuchIsLost() {
    MainWindow& w = open({"1:a:", "1:b:", "1:c:ls"});
    w.tree().edit(top(w)->child(0), [](rVTNodeData& d) { d.PopupText = "note"; });
    const QString confirm = QStringLiteral(
        "Connection 'a' with associated data will be deleted.\r"
        "Do you want to continue?");
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNo, confirm.toStdString(), PromptAnswer::No);
    run(w, top(w)->child(0), "BtnDelete");
    QCOMPARE(f->prompter.asked().back().defaultButton, PromptAnswer::Yes);

    // Two connections.
    w.treeView().setFocus();
    w.selectNode(top(w)->child(0));
    w.treeView().selectionModel()->select(w.treeModel().indexOf(top(w)->child(1)),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w.refreshCommands();
    f->prompter.expect(PromptKind::Confirmation, PromptButtons::YesNo,
                       "Deleting 2 connections. All descendant connections will be also deleted.\r"
                       "Do you want to continue?",
                       PromptAnswer::No);
    QVERIFY(test::Trigger(w, "BtnDelete"));
    QCOMPARE(f->prompter.asked().back().defaultButton, PromptAnswer::No);

    // Unapplied edits on the connection with a macro.
    TreeNode* c = top(w)->child(2);
    w.treeView().setFocus();
    w.selectNode(c);
    w.refreshCommands();
    auto* editor = Child<QsciScintilla>(w, "Memo1");
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("z"));
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNo,
                       "Do you want to discard all data assosiated with 'c' ?", PromptAnswer::No);
    run(w, c, "BtnDelete");
    QCOMPARE(f->prompter.asked().back().defaultButton, PromptAnswer::No);
    QCOMPARE(top(w)->childCount(), 3);
    w.connectionPages().setModified(false);
  }

  void namingInPlaceFollowsTheNameRules() {
    MainWindow& w = open({"1:alpha:login", "1:beta:", "2:kid:"});
    TreeNode* alpha = top(w)->child(0);
    nameInPlace(w, alpha, QStringLiteral("router"));
    QCOMPARE(std::string(alpha->name()), std::string("router"));
    QVERIFY(w.isDocumentModified());
    w.document().setModified(false);
    nameInPlace(w, alpha, QStringLiteral("gone"), Qt::Key_Escape);
    QCOMPARE(std::string(alpha->name()), std::string("router"));
    QVERIFY(!w.isDocumentModified());

    f->prompter.expect(PromptKind::Warning, PromptButtons::OK, "Connection name cannot be empty.",
                       PromptAnswer::OK);
    nameInPlace(w, alpha, QStringLiteral("   "));
    QCOMPARE(std::string(alpha->name()), std::string("router"));
    // Compared as it would be stored, trimmed.
    for (const QString& taken : {QStringLiteral("beta"), QStringLiteral(" beta"), QStringLiteral("beta  ")}) {
      f->prompter.expect(PromptKind::Warning, PromptButtons::OK,
                         "Connection name has to be unique among its sibling connections.", PromptAnswer::OK);
      nameInPlace(w, alpha, taken);
      QCOMPARE(std::string(alpha->name()), std::string("router"));
    }
    QVERIFY2(!w.isDocumentModified(), "a refused name changes nothing in the file");
    QCOMPARE(w.document().history().undoCount(), std::size_t{1});  // the rename to "router" alone

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
    w.document().setModified(false);
  }

  // Closing the name editor on the name it opened with changes nothing: no
  // change mark, and a separator left as it is asks nothing.
  void unchangedNameChangesNothing() {
    MainWindow& w = open({"1:alpha:", "1:-"});
    TreeNode* alpha = top(w)->child(0);
    // A click on the focused node opens the editor; Enter closes it.
    w.treeView().setFocus();
    w.selectNode(alpha);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QPoint centre = w.treeView().visualRect(w.treeModel().indexOf(alpha)).center();
    QTest::mouseClick(w.treeView().viewport(), Qt::LeftButton, {}, centre);
    QPointer<QLineEdit> editor;  // the view deletes it once it is closed
    QTRY_VERIFY((editor = w.treeView().findChild<QLineEdit*>(QStringLiteral("VTEditor"))) &&
                editor->isVisible());
    QCOMPARE(editor->text(), QStringLiteral("alpha"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!editor || !editor->isVisible());
    QTest::qWait(50);
    QVERIFY(!w.isDocumentModified());

    // Ended by a click elsewhere, with blanks that the name would lose.
    nameInPlace(w, alpha, QStringLiteral(" alpha "), Qt::Key_unknown);
    QVERIFY(!w.isDocumentModified());

    nameInPlace(w, top(w)->child(1), QString::fromLatin1(kSeparatorName.data(), kSeparatorName.size()));
    QVERIFY(!w.isDocumentModified());
    QVERIFY(!w.document().history().canUndo());
  }

  // Collapsing a branch focuses and selects the collapsed node.
  void collapsedNodeTakesTheFocus() {
    MainWindow& w = open({"1:parent:", "2:kid:k"});
    TreeNode* parent = top(w)->child(0);
    w.treeView().setFocus();
    w.selectNode(parent->child(0));
    w.refreshCommands();
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
    w.refreshCommands();
    QAction* addChild = w.findChild<QAction*>(QStringLiteral("pmAddChild"));
    QVERIFY(addChild && addChild->isVisible() && addChild->isEnabled());
    addChild->trigger();
    QCOMPARE(top(w)->child(0)->childCount(), 1);
    Child<QsciScintilla>(w, "Memo1")->setFocus();
    w.refreshCommands();
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
    w.refreshCommands();
    auto* editor = Child<QsciScintilla>(w, "Memo1");
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("z"));
    QVERIFY(w.connectionModified());
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNo,
                       "Do you want to discard all data assosiated with 'a' ?", PromptAnswer::Yes);
    run(w, top(w)->child(0), "BtnDelete");
    QCOMPARE(top(w)->childCount(), 1);
    QCOMPARE(std::string(top(w)->child(0)->name()), std::string("b"));
    QVERIFY(!w.connectionModified());
  }
};

QTEST_MAIN(TreeEditingTest)
#include "tree_editing_test.moc"
