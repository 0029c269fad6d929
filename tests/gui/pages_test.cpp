// The pages of the focused connection: the editors' set-up, what marks
// "Modified" and what does not, INS/OVR, the caret panel, the covers, and
// Apply writing the record (colours and schedule passing through).
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "pages/macro_page.h"
#include "pages/popup_page.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

namespace {

QString Panel(MainWindow& w, int i) {
  return Child<QLabel>(w, QStringLiteral("SBarPanel%1").arg(i).toLatin1())->text();
}

void FocusNode(MainWindow& w, TreeNode* node) {
  w.treeView().setFocus();
  w.selectNode(node);
  QTest::qWait(0);
  w.refreshCommands();
}

}  // namespace

class PagesTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;
  QsciScintilla* macroEditor = nullptr;
  QsciScintilla* popupEditor = nullptr;

  MainWindow& openSites() {
    const std::string file = f->dir.file("Sites.vnk");
    ConnectionTree tree;
    rVTNodeData a;
    a.Name = "alpha";
    a.Macro = EncodeText("line one\r\nline two");
    a.PopupText = EncodeText("  popup kept as is  ");
    a.Colors = "1:2:3:4:5:6:7:8:9:10:11:12:13:14:15:16:17:18";
    a.Schedule = "=0 8 * * 1,2,3,4,5";
    a.StartLogging = false;
    a.LastUpdated = "Monday, 07-Dec-2026 10:00:00";
    tree.insert(tree.top(), 0, ConnectionTree::newNode(a));
    rVTNodeData b;
    b.Name = "beta";
    b.StartLogging = true;
    tree.insert(tree.top(), 1, ConnectionTree::newNode(b));
    rVTNodeData s;
    s.Name = "----- separator line -----";
    tree.insert(tree.top(), 2, ConnectionTree::newNode(s));
    SaveConfiguration(tree, file);
    f->settings().writeString("LastVNKFile", file);
    MainWindow& w = f->openActive();
    macroEditor = Child<QsciScintilla>(w, "Memo1");
    popupEditor = Child<QsciScintilla>(w, "Memo2");
    return w;
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  void editorsAreConfigured() {
    MainWindow& w = openSites();
    QCOMPARE(macroEditor->edgeMode(), QsciScintilla::EdgeNone);
    QVERIFY(macroEditor->autoIndent());
    QVERIFY(!macroEditor->indentationsUseTabs());
    QVERIFY(macroEditor->marginLineNumbers(0));
    QVERIFY(macroEditor->marginWidth(0) > 0);
    QCOMPARE(popupEditor->marginWidth(0), 0);
    QCOMPARE(popupEditor->edgeMode(), QsciScintilla::EdgeNone);
    QVERIFY(macroEditor->font().fixedPitch());
    QCOMPARE(macroEditor->font().pointSize(), w.font().pointSize() + 1);
    QCOMPARE(popupEditor->font().pointSize(), macroEditor->font().pointSize());
    // The gutter grows with the number of lines.
    const int narrow = macroEditor->marginWidth(0);
    macroEditor->setText(QString(150, QLatin1Char('\n')));
    QTest::qWait(0);  // a change made outside the editor's events is reported from the event loop
    QVERIFY(macroEditor->marginWidth(0) > narrow);
    macroEditor->clear();
  }

  void loadingShowsRecordAndTypingMarksModified() {
    MainWindow& w = openSites();
    TreeNode* alpha = w.tree().top()->child(0);
    TreeNode* beta = w.tree().top()->child(1);
    FocusNode(w, alpha);
    QCOMPARE(macroEditor->text(), QStringLiteral("line one\r\nline two"));
    QCOMPARE(popupEditor->text(), QStringLiteral("  popup kept as is  "));
    QVERIFY(!Child<QCheckBox>(w, "cbLogSession")->isChecked());
    QCOMPARE(Panel(w, 0), QStringLiteral("  Last updated: Monday, 07-Dec-2026 10:00:00"));
    QCOMPARE(Panel(w, 2), QString());
    FocusNode(w, beta);  // loading another connection marks nothing
    QCOMPARE(macroEditor->text(), QString());
    QCOMPARE(Panel(w, 2), QString());
    QCOMPARE(Panel(w, 0), QString());
    QVERIFY(Child<QCheckBox>(w, "cbLogSession")->isChecked());

    popupEditor->setFocus();
    QTest::keyClicks(popupEditor, QStringLiteral("hi"));
    QCOMPARE(Panel(w, 2), QStringLiteral("Modified"));
    QCOMPARE(Panel(w, 1), QStringLiteral("Ln. 1, Col. 3"));
    w.connectionPages().setModified(false);

    // The logging box counts only a user's click.
    Child<QCheckBox>(w, "cbLogSession")->setChecked(false);
    QCOMPARE(Panel(w, 2), QString());
    QTest::mouseClick(Child<QCheckBox>(w, "cbLogSession"), Qt::LeftButton);
    QCOMPARE(Panel(w, 2), QStringLiteral("Modified"));
    w.connectionPages().setModified(false);
  }

  // Each page knows whether the user edited it; the window's "Modified" is the
  // pages' state, not the status bar's text.
  void pagesTrackTheirOwnEdits() {
    MainWindow& w = openSites();
    auto* macro = w.findChild<MacroPage*>(QStringLiteral("TS1"));
    auto* popup = w.findChild<PopupPage*>(QStringLiteral("TS2"));
    QVERIFY(macro && popup);
    FocusNode(w, w.tree().top()->child(0));
    QVERIFY(!macro->isEdited() && !popup->isEdited());
    popupEditor->setFocus();
    QTest::keyClicks(popupEditor, QStringLiteral("x"));
    QVERIFY(popup->isEdited());
    QVERIFY(!macro->isEdited());
    QVERIFY(w.connectionModified());
    Child<QLabel>(w, "SBarPanel2")->clear();  // the label is only a display
    QVERIFY(w.connectionModified());
    w.findChild<QAction*>(QStringLiteral("BtnApply"))->trigger();
    QVERIFY(!popup->isEdited());
    QVERIFY(!w.connectionModified());
    QCOMPARE(DecodeText(w.tree().top()->child(0)->data().PopupText), std::string("x  popup kept as is"));
  }

  void insertKeyFlipsBothEditors() {
    MainWindow& w = openSites();
    FocusNode(w, w.tree().top()->child(1));
    macroEditor->setFocus();
    QCOMPARE(Panel(w, 3), QStringLiteral("INS"));
    QTest::keyClick(macroEditor, Qt::Key_Insert);
    QCOMPARE(Panel(w, 3), QStringLiteral("OVR"));
    QVERIFY(macroEditor->overwriteMode());
    QVERIFY(popupEditor->overwriteMode());
    QTest::keyClicks(macroEditor, QStringLiteral("ab"));
    macroEditor->setCursorPosition(0, 0);
    QTest::keyClicks(macroEditor, QStringLiteral("X"));
    QCOMPARE(macroEditor->text(), QStringLiteral("Xb"));
    QTest::keyClick(macroEditor, Qt::Key_Insert);
    QCOMPARE(Panel(w, 3), QStringLiteral("INS"));
    QVERIFY(!popupEditor->overwriteMode());
    // The single-line fields share the same mode.
    auto* name = Child<QLineEdit>(w, "Edit1");
    name->setFocus();
    QCOMPARE(Panel(w, 3), QStringLiteral("INS"));
    QTest::keyClick(name, Qt::Key_Insert);
    QCOMPARE(Panel(w, 3), QStringLiteral("OVR"));
    QVERIFY(macroEditor->overwriteMode());
    QTest::keyClick(name, Qt::Key_Insert);
    QCOMPARE(Panel(w, 3), QStringLiteral("INS"));
    w.treeView().setFocus();
    QCOMPARE(Panel(w, 3), QString());
    QCOMPARE(Panel(w, 1), QString());
    w.connectionPages().setModified(false);
  }

  // Overwrite mode in the single-line fields and the name editor: a typed
  // character replaces the next one, or the selection; at the end it appends.
  // The panel goes when the focus leaves a field for a control without text.
  void overwriteTypingReplacesTheNextCharacter() {
    MainWindow& w = openSites();
    auto* name = Child<QLineEdit>(w, "Edit1");
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Insert);
    name->setText(QStringLiteral("abcd"));
    name->setCursorPosition(1);
    QTest::keyClicks(name, QStringLiteral("X"));
    QCOMPARE(name->text(), QStringLiteral("aXcd"));
    name->setSelection(0, 3);
    QTest::keyClicks(name, QStringLiteral("Y"));
    QCOMPARE(name->text(), QStringLiteral("Yd"));
    name->end(false);
    QTest::keyClicks(name, QStringLiteral("Z"));
    QCOMPARE(name->text(), QStringLiteral("YdZ"));
    QCOMPARE(Panel(w, 3), QStringLiteral("OVR"));
    Child<QWidget>(w, "seDelay")->setFocus();
    QCOMPARE(Panel(w, 3), QString());

    w.treeView().setFocus();
    w.selectNode(w.tree().top()->child(0));
    QTest::keyClick(&w.treeView(), Qt::Key_F2);
    auto* editor = w.treeView().findChild<QLineEdit*>(QStringLiteral("VTEditor"));
    QVERIFY(editor);
    QCOMPARE(Panel(w, 3), QStringLiteral("OVR"));
    editor->setCursorPosition(0);
    QTest::keyClicks(editor, QStringLiteral("Q"));
    QCOMPARE(editor->text().mid(1), w.treeModel().text(w.tree().top()->child(0)).mid(1));
    QVERIFY(editor->text().startsWith(QLatin1Char('Q')));
    QTest::keyClick(editor, Qt::Key_Insert);
    QCOMPARE(Panel(w, 3), QStringLiteral("INS"));
    QTest::keyClick(editor, Qt::Key_Escape);
  }

  void applyWritesRecordAndPassesColoursAndSchedule() {
    MainWindow& w = openSites();
    TreeNode* alpha = w.tree().top()->child(0);
    FocusNode(w, alpha);
    macroEditor->setFocus();
    macroEditor->setCursorPosition(1, 8);
    QTest::keyClicks(macroEditor, QStringLiteral("   "));
    QTest::keyClick(macroEditor, Qt::Key_Return);
    QTest::keyClicks(macroEditor, QStringLiteral("three  "));
    QCOMPARE(macroEditor->text(),
             QStringLiteral("line one\r\nline two\r\nthree  "));  // left lines lose their blanks
    Child<QCheckBox>(w, "cbLogSession")->setFocus();
    QTest::mouseClick(Child<QCheckBox>(w, "cbLogSession"), Qt::LeftButton);
    w.refreshCommands();
    QVERIFY(Child<QAction>(w, "BtnApply")->isEnabled());
    Child<QAction>(w, "BtnApply")->trigger();
    const rVTNodeData& d = alpha->data();
    // Trailing blanks are not kept; text trimmed and stored.
    QCOMPARE(DecodeText(d.Macro), std::string("line one\r\nline two\r\nthree"));
    QCOMPARE(DecodeText(d.PopupText), std::string("popup kept as is"));
    QVERIFY(d.StartLogging);
    QCOMPARE(std::string(d.Colors), std::string("1:2:3:4:5:6:7:8:9:10:11:12:13:14:15:16:17:18"));
    QCOMPARE(std::string(d.Schedule), std::string("=0 8 * * 1,2,3,4,5"));
    QCOMPARE(d.NodeType, StoredNodeType::Macro);
    QCOMPARE(std::string(d.LastUpdated), std::string("Tuesday, 08-Dec-2026 09:05:07"));
    QVERIFY(!Child<QAction>(w, "BtnApply")->isEnabled());

    // A macro of blanks only is stored empty: NodeType NoMacro, the plain picture.
    FocusNode(w, alpha);
    macroEditor->setFocus();
    macroEditor->selectAll();
    QTest::keyClicks(macroEditor, QStringLiteral("   "));
    Child<QAction>(w, "MnApply")->trigger();  // the menu item applies too
    QCOMPARE(std::string(alpha->data().Macro), std::string());
    QCOMPARE(alpha->data().NodeType, StoredNodeType::NoMacro);
    QCOMPARE(ConnectionTreeModel::imageIndex(alpha, false), 1);
  }

  void coversTellWhyNothingIsShown() {
    MainWindow& w = openSites();
    auto* cover = Child<QLabel>(w, "TS1Panel");
    FocusNode(w, w.tree().top()->child(2));  // separator
    QVERIFY(cover->isVisible());
    QCOMPARE(cover->text(), QStringLiteral("No connection selected"));
    QVERIFY(!Child<QWidget>(w, "TS1bPanel")->isVisibleTo(&w));
    FocusNode(w, w.tree().top()->child(0));
    QVERIFY(!cover->isVisible());
    QVERIFY(Child<QWidget>(w, "TS1bPanel")->isVisibleTo(&w));
    w.treeView().selectionModel()->select(w.treeModel().indexOf(w.tree().top()->child(1)),
                                          QItemSelectionModel::Select);
    w.refreshCommands();
    QCOMPARE(cover->text(), QStringLiteral("Multiple items selected"));
    QCOMPARE(Child<QLabel>(w, "TS2Panel")->text(), QStringLiteral("Multiple items selected"));
    QCOMPARE(Child<QLabel>(w, "TS4Panel")->text(), QStringLiteral("Multiple items selected"));
    w.treeView().clearSelection();
    w.refreshCommands();
    QCOMPARE(cover->text(), QStringLiteral("No connection selected"));
  }

  void expandAndCollapseAllFollowPendingEdits() {
    const std::string file = f->dir.file("Deep.vnk");
    test::WriteVnk(file, {"1:site:", "2:router:r", "3:card:c"});
    f->settings().writeString("LastVNKFile", file);
    MainWindow& w = f->open();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    TreeNode* card = w.tree().top()->child(0)->child(0)->child(0);
    Child<QAction>(w, "MnExpandAll")->trigger();
    QVERIFY(w.treeView().isExpanded(w.treeModel().indexOf(card->parent())));
    FocusNode(w, card);
    auto* m1 = Child<QsciScintilla>(w, "Memo1");
    m1->setFocus();
    QTest::keyClicks(m1, QStringLiteral("Q"));
    w.refreshCommands();
    QVERIFY(Child<QAction>(w, "MnApply")->isEnabled());
    QVERIFY(!Child<QAction>(w, "MnCollapseAll")->isEnabled());  // offered only without pending edits
    Child<QAction>(w, "BtnApply")->trigger();
    w.refreshCommands();
    QVERIFY(Child<QAction>(w, "MnCollapseAll")->isEnabled());
    Child<QAction>(w, "MnCollapseAll")->trigger();
    QVERIFY(!w.treeView().isExpanded(w.treeModel().indexOf(w.tree().top())));  // the top node too
    QVERIFY(!w.treeView().isExpanded(w.treeModel().indexOf(card->parent())));
    QCOMPARE(w.focusedNode(), w.tree().top());  // what is left to show takes the focus
    QCOMPARE(w.treeView().currentIndex(), w.treeModel().indexOf(w.tree().top()));
  }

  void collapsingBranchWithPendingEditsAsks() {
    const std::string file = f->dir.file("Deep.vnk");
    test::WriteVnk(file, {"1:site:", "2:router:r"});
    f->settings().writeString("LastVNKFile", file);
    MainWindow& w = f->open();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    TreeNode* site = w.tree().top()->child(0);
    TreeNode* router = site->child(0);
    FocusNode(w, router);
    auto* m1 = Child<QsciScintilla>(w, "Memo1");
    m1->setFocus();
    QTest::keyClicks(m1, QStringLiteral("Z"));
    const std::string question = "Do you want to apply the changes you made to  'router' ?";
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, question, PromptAnswer::Cancel);
    w.treeView().collapse(w.treeModel().indexOf(site));
    QVERIFY(w.treeView().isExpanded(w.treeModel().indexOf(site)));
    QVERIFY(w.connectionModified());
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, question, PromptAnswer::Yes);
    w.treeView().collapse(w.treeModel().indexOf(site));
    QVERIFY(!w.treeView().isExpanded(w.treeModel().indexOf(site)));
    QCOMPARE(DecodeText(router->data().Macro), std::string("Zr"));
    QVERIFY(!w.connectionModified());
  }
};

QTEST_MAIN(PagesTest)
#include "pages_test.moc"
