// The pages always belong to the focused node: focus changes followed at once
// (in the same event-loop turn, before the 150 ms refresh) by a move into a
// page control, and the states that must follow a command at once.
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTreeView>
#include <fstream>

#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

namespace {

std::string Macro(const TreeNode* node) { return DecodeText(node->data().Macro); }

}  // namespace

class PageCycleTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;
  std::string file;
  QsciScintilla* macroEditor = nullptr;

  MainWindow& openAB() {
    f->settings().writeString("LastVNKFile", file);
    MainWindow& w = f->openActive();
    macroEditor = Child<QsciScintilla>(w, "Memo1");
    return w;
  }
  TreeNode* a(MainWindow& w) { return w.tree().top()->child(0); }
  TreeNode* b(MainWindow& w) { return w.tree().top()->child(1); }

  // A focused and shown, the tree holding the focus.
  void focusA(MainWindow& w) {
    w.treeView().setFocus();
    w.selectNode(a(w));
    QTest::qWait(200);
    QCOMPARE(macroEditor->text(), QStringLiteral("aaa"));
  }

  void typeAndApply(MainWindow& w, const char* text) {
    macroEditor->setCursorPosition(0, macroEditor->text().size());
    QTest::keyClicks(macroEditor, QString::fromLatin1(text));
    QTest::keyClick(&w, Qt::Key_F12);
  }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    file = f->dir.file("AB.vnk");
    test::WriteVnk(file, {"1:A:aaa", "1:B:bbb", "1:C:ccc"});
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  // Down, then at once the editor takes the focus by key: the edit lands on B.
  void editAfterDownAndTabLandsOnTheNewNode() {
    MainWindow& w = openAB();
    focusA(w);
    QTest::keyClick(&w.treeView(), Qt::Key_Down);
    macroEditor->setFocus(Qt::TabFocusReason);  // no wait: the refresh timer is still running
    QCOMPARE(macroEditor->text(), QStringLiteral("bbb"));
    typeAndApply(w, " X");
    QCOMPARE(Macro(b(w)), std::string("bbb X"));
    QCOMPARE(Macro(a(w)), std::string("aaa"));
  }

  // The same with a mouse click into the editor.
  void editAfterDownAndClickLandsOnTheNewNode() {
    MainWindow& w = openAB();
    focusA(w);
    QTest::keyClick(&w.treeView(), Qt::Key_Down);
    QTest::mouseClick(macroEditor->viewport(), Qt::LeftButton, {}, QPoint(40, 5));
    QVERIFY(macroEditor->hasFocus());
    QCOMPARE(macroEditor->text(), QStringLiteral("bbb"));
    typeAndApply(w, " Y");
    QCOMPARE(Macro(b(w)), std::string("bbb Y"));
    QCOMPARE(Macro(a(w)), std::string("aaa"));
  }

  // Edits pending on A: Down and Tab at once; after Yes the pages show B.
  void answeredQuestionLeavesThePagesOnTheNewNode() {
    MainWindow& w = openAB();
    focusA(w);
    macroEditor->setFocus();
    typeAndApply(w, "");  // nothing typed, nothing applied
    QTest::keyClicks(macroEditor, QStringLiteral("1"));
    w.treeView().setFocus();
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel,
                       "Do you want to apply the changes you made to  'A' ?", PromptAnswer::Yes);
    QTest::keyClick(&w.treeView(), Qt::Key_Down);
    macroEditor->setFocus(Qt::TabFocusReason);
    QTest::qWait(0);  // the question comes once the key is done
    QCOMPARE(Macro(a(w)), std::string("aaa1"));
    QCOMPARE(macroEditor->text(), QStringLiteral("bbb"));
    QVERIFY(!w.connectionModified());
    typeAndApply(w, "2");
    QCOMPARE(Macro(b(w)), std::string("bbb2"));
    QCOMPARE(Macro(a(w)), std::string("aaa1"));
  }

  // Commands that write into the Macro page while the tree has the focus: a
  // template from the File menu, then an imported macro right after a key
  // moved the focus (before the refresh). Each write stays in the editor,
  // belongs to the focused node and is what Apply stores.
  void commandsWritingIntoThePageFromTheTreeLand() {
    MainWindow& w = openAB();
    focusA(w);
    QMenu* templates = Child<QMenu>(w, "MnImportTemplate");
    QVERIFY(templates);
    QAction* first = templates->actions().value(0);
    QVERIFY(first && !first->isSeparator());
    first->trigger();
    QVERIFY(macroEditor->hasFocus());
    QVERIFY(w.connectionModified());
    const QString withTemplate = macroEditor->text();
    QVERIFY2(withTemplate.size() > 3 && withTemplate.contains(QStringLiteral("aaa")),
             qPrintable(withTemplate));
    QTest::keyClick(&w, Qt::Key_F12);
    QCOMPARE(QString::fromStdString(Macro(a(w))), withTemplate);

    const std::string cvl = f->dir.file("in.cvl");
    {
      std::ofstream out(cvl, std::ios::binary);
      out << "imported";
    }
    w.treeView().setFocus();
    QTest::keyClick(&w.treeView(), Qt::Key_Down);
    f->dialogs.expectOpen(cvl);
    QVERIFY(varnok::test::Trigger(w, "MnImportMacro"));
    QCOMPARE(macroEditor->text(), QStringLiteral("imported"));
    QVERIFY(w.connectionModified());
    w.treeView().setFocus();  // leaving the tree and coming back keeps the text
    macroEditor->setFocus();
    QCOMPARE(macroEditor->text(), QStringLiteral("imported"));
    QTest::keyClick(&w, Qt::Key_F12);
    QCOMPARE(Macro(b(w)), std::string("imported"));
    QCOMPARE(QString::fromStdString(Macro(a(w))), withTemplate);
  }

  // A node focused by the program while an editor has the focus is shown at once.
  void programmaticFocusChangeLoadsAtOnce() {
    MainWindow& w = openAB();
    focusA(w);
    macroEditor->setFocus();
    w.selectNode(w.tree().top()->child(2));
    QCOMPARE(macroEditor->text(), QStringLiteral("ccc"));
  }

  // A long line scrolled to its end does not leave the next macro out of view.
  void anotherMacroIsShownFromItsTopLeft() {
    MainWindow& w = openAB();
    focusA(w);
    macroEditor->setFocus();
    QTest::keyClicks(macroEditor, QString(300, QLatin1Char('x')));
    QVERIFY(macroEditor->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET) > 0);
    w.connectionPages().setModified(false);
    w.treeView().setFocus();
    w.selectNode(b(w));
    w.refreshCommands();
    QCOMPARE(macroEditor->text(), QStringLiteral("bbb"));
    QCOMPARE(macroEditor->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET), 0L);
  }

  void collapseAllShowsTheTopNode() {
    MainWindow& w = openAB();
    focusA(w);
    w.findChild<QAction*>(QStringLiteral("MnCollapseAll"))->trigger();
    QCOMPARE(w.focusedNode(), w.tree().top());
    QCOMPARE(Child<QLabel>(w, "TS1Panel")->text(), QStringLiteral("No connection selected"));
  }

  void openEnablesNewAndSaveAsAtOnce() {
    MainWindow& w = f->open();
    w.show();
    w.treeView().setFocus();
    f->dialogs.expectOpen(file);
    w.findChild<QAction*>(QStringLiteral("BtnOpen"))->trigger();
    QVERIFY(w.findChild<QAction*>(QStringLiteral("BtnNew"))->isEnabled());
    QVERIFY(w.findChild<QAction*>(QStringLiteral("BtnSaveAs"))->isEnabled());
  }

  // No to applying, then Cancel at the save question: the discarded text goes.
  void discardedEditsLeaveTheEditor() {
    MainWindow& w = openAB();
    focusA(w);
    w.document().setModified(true);
    macroEditor->setFocus();
    QTest::keyClicks(macroEditor, QStringLiteral("zz"));
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel,
                       "Do you want to apply the changes you made to  'A' ?", PromptAnswer::No);
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel,
                       "Do you want to save the changes you made to AB.vnk?", PromptAnswer::Cancel);
    Child<QWidget>(w, "cbAutoSave")->setProperty("checked", false);
    QVERIFY(!w.close());
    QVERIFY(!w.connectionModified());
    QCOMPARE(macroEditor->text(), QStringLiteral("aaa"));
    w.document().setModified(false);
  }
};

QTEST_MAIN(PageCycleTest)
#include "page_cycle_test.moc"
