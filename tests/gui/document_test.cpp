// The document commands driven through the real window: caption, New, Open,
// Save as, the recent-file list, Close, and the apply question of the pages.
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "common/program_paths.h"
#include "common/stored_text.h"
#include "dialogs/file_dialogs.h"
#include "files/vnk_file.h"
#include "tree/tree_model.h"
#include "window/status_panels.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

namespace {

const std::string kSaveNoname = "Do you want to save the changes you made to Noname.VNK?";

std::string ApplyQuestion(const std::string& name) {
  return "Do you want to apply the changes you made to  '" + name + "' ?";
}

QAction* Action(MainWindow& w, const char* name) { return w.findChild<QAction*>(QString::fromLatin1(name)); }
QString Panel(MainWindow& w, int i) {
  return Child<QLabel>(w, QStringLiteral("SBarPanel%1").arg(i).toLatin1())->text();
}

void Show(MainWindow& w) {
  w.show();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
}

// Focuses the tree and the node, and lets the deferred refresh load the pages.
void FocusNode(MainWindow& w, TreeNode* node) {
  w.treeView().setFocus();
  w.selectNode(node);
  QTest::qWait(0);
  w.refreshCommands();
}

void TypeInto(QsciScintilla* editor, const char* text) {
  editor->setFocus();
  QTest::keyClicks(editor, QString::fromLatin1(text));
}

TreeNode* Child0(MainWindow& w, int row) { return w.tree().top()->child(row); }

}  // namespace

class DocumentTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;
  std::string file;

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    file = f->dir.file("Sites.vnk");
    test::WriteVnk(file, {"1:alpha:login alpha", "2:alpha-db:", "1:beta:login beta", "1:gamma:"});
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  void startsUnnamedAndUnchanged() {
    MainWindow& w = f->open();
    QCOMPARE(w.windowTitle(), QStringLiteral("Varnokc Configuration - [Noname.VNK]"));
    QCOMPARE(w.treeModel().data(w.treeModel().index(0, 0)).toString(),
             QStringLiteral("This computer (testhost)"));
    QVERIFY(!Action(w, "BtnNew")->isEnabled());
    QVERIFY(!Action(w, "BtnSaveAs")->isEnabled());
    QVERIFY(Action(w, "BtnOpen")->isEnabled());
    QVERIFY(!Action(w, "BtnApply")->isEnabled());
    // Greyed: the hint names the key, the line under it why the button is greyed.
    QCOMPARE(Action(w, "BtnRun")->toolTip().section(QLatin1Char('\n'), 0, 0), QStringLiteral("Run (F9)"));
    QCOMPARE(Action(w, "MnSaveTable")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(Child<QLabel>(w, "TS1Panel")->text(), QStringLiteral("No connection selected"));
  }

  void openShowsNameAndModifiedMark() {
    MainWindow& w = f->open();
    Show(w);
    f->dialogs.expectOpen(file);
    Action(w, "BtnOpen")->trigger();
    QCOMPARE(w.windowTitle(), QStringLiteral("Varnokc Configuration - [Sites.vnk]"));
    QCOMPARE(w.tree().top()->childCount(), 3);
    QCOMPARE(f->dialogs.requests().back().title, std::string("Open Varnok file"));
    QCOMPARE(QtNameFilters(f->dialogs.requests().back().filter),
             QStringList({QStringLiteral("Varnok file (*.VNK *.vnk)"), QStringLiteral("All files (*)")}));
    QCOMPARE(f->dialogs.requests().back().filter,
             std::string("Varnok file (*.VNK)|*.VNK|All files (*.*)|*.*"));
    QCOMPARE(f->dialogs.requests().back().defaultExtension, std::string("vnk"));
    QCOMPARE(w.recentFiles().files().front(), file);
    // Opening saved the settings: the last file is known to the companion.
    QCOMPARE(f->settings().readString("LastVNKFile", ""), file);

    FocusNode(w, Child0(w, 1));
    QCOMPARE(Child<QsciScintilla>(w, "Memo1")->text(), QStringLiteral("login beta"));
    QCOMPARE(Panel(w, 2), QString());  // loading never marks modified
    TypeInto(Child<QsciScintilla>(w, "Memo1"), "X");
    QCOMPARE(Panel(w, 2), QStringLiteral("Modified"));
    w.refreshCommands();
    QVERIFY(Action(w, "BtnApply")->isEnabled());
    Action(w, "BtnApply")->trigger();
    QCOMPARE(Panel(w, 2), QString());
    QCOMPARE(w.windowTitle(), QStringLiteral("Varnokc Configuration - [Sites.vnk*]"));
    QCOMPARE(DecodeText(Child0(w, 1)->data().Macro), std::string("Xlogin beta"));
    QCOMPARE(Child0(w, 1)->data().NodeType, StoredNodeType::Macro);
    QCOMPARE(std::string(Child0(w, 1)->data().LastUpdated), std::string("Tuesday, 08-Dec-2026 09:05:07"));
    QCOMPARE(Panel(w, 0), QStringLiteral("  Last updated: Tuesday, 08-Dec-2026 09:05:07"));

    // Save writes the file and clears the mark.
    Action(w, "BtnSave")->trigger();
    QCOMPARE(w.windowTitle(), QStringLiteral("Varnokc Configuration - [Sites.vnk]"));
    ConnectionTree check;
    QVERIFY(LoadConfiguration(check, file, false).ok());
    QCOMPARE(DecodeText(check.top()->child(1)->data().Macro), std::string("Xlogin beta"));
  }

  void newOnUnnamedModifiedDocumentAsksAboutNoname() {
    MainWindow& w = f->open();
    Show(w);
    w.importHandedOverFile(file);  // an unnamed document with connections
    QVERIFY(w.isDocumentModified());
    QCOMPARE(w.windowTitle(), QStringLiteral("Varnokc Configuration - [Noname.VNK*]"));

    // Cancel keeps everything.
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, kSaveNoname, PromptAnswer::Cancel);
    w.refreshCommands();
    Action(w, "BtnNew")->trigger();
    QCOMPARE(w.tree().top()->childCount(), 3);
    QVERIFY(w.isDocumentModified());

    // Yes with a cancelled Save as dialog: still modified, New stops.
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, kSaveNoname, PromptAnswer::Yes);
    f->dialogs.expectSave(std::nullopt);
    Action(w, "BtnNew")->trigger();
    QCOMPARE(w.tree().top()->childCount(), 3);
    QCOMPARE(f->dialogs.requests().back().title, std::string("Save Varnok file as"));

    // No: a fresh document.
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, kSaveNoname, PromptAnswer::No);
    Action(w, "BtnNew")->trigger();
    QCOMPARE(w.tree().top()->childCount(), 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Varnokc Configuration - [Noname.VNK]"));
    QVERIFY(!Action(w, "BtnNew")->isEnabled());
  }

  void openAfterCancelledSaveQuestionKeepsDocument() {
    MainWindow& w = f->open();
    Show(w);
    w.importHandedOverFile(file);
    const std::string other = f->dir.file("Other.vnk");
    test::WriteVnk(other, {"1:only:"});
    f->dialogs.expectOpen(other);
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, kSaveNoname, PromptAnswer::Cancel);
    Action(w, "MnOpenTable")->trigger();
    QCOMPARE(w.tree().top()->childCount(), 3);
    QVERIFY(w.currentFile().empty());
    QVERIFY(w.isDocumentModified());
    QVERIFY(w.recentFiles().files().empty());
  }

  void saveAsNamesTheDocument() {
    MainWindow& w = f->open();
    Show(w);
    w.importHandedOverFile(file);
    const std::string target = f->dir.file("Copy.vnk");
    f->dialogs.expectSave(target);
    w.refreshCommands();
    Action(w, "BtnSaveAs")->trigger();
    QCOMPARE(w.currentFile(), target);
    QCOMPARE(w.windowTitle(), QStringLiteral("Varnokc Configuration - [Copy.vnk]"));
    QCOMPARE(f->dialogs.requests().back().fileName, std::string());
    QCOMPARE(w.recentFiles().files().front(), target);
    ConnectionTree check;
    QVERIFY(LoadConfiguration(check, target, false).ok());
    QCOMPARE(check.count(), 5);
  }

  void deletedRecentFileIsRemovedWithWarning() {
    const std::string gone = f->dir.file("Gone.vnk");
    f->settings().write({{"MRU1", file}, {"MRU2", gone}, {"MRU3", std::string()}});
    MainWindow& w = f->open();
    QCOMPARE(w.recentFiles().files().size(), std::size_t(2));
    QAction* entry = Action(w, "MRU2");
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("&2  Gone.vnk"));
    f->prompter.expect(PromptKind::Warning, PromptButtons::OK, "File '" + gone + "' does not exist any more.",
                       PromptAnswer::OK);
    entry->trigger();
    QCOMPARE(w.recentFiles().files(), std::vector<std::string>{file});
    QVERIFY(!w.findChild<QMenu*>(QStringLiteral("MnFile"))->actions().contains(entry));
    QCOMPARE(w.tree().top()->childCount(), 0);

    // An existing entry opens like Open.
    Action(w, "MRU1")->trigger();
    QCOMPARE(w.currentFile(), file);
    QCOMPARE(w.tree().top()->childCount(), 3);

    // The list goes back to the settings with the window.
    f->destroy();
    QCOMPARE(f->settings().readString("MRU1", "?"), file);
    QCOMPARE(f->settings().readString("MRU2", "?"), std::string());
    QCOMPARE(f->settings().readString("MRU4", "?"), std::string());
  }

  void noApplyQuestionForTopNode() {
    f->settings().writeString("LastVNKFile", file);
    MainWindow& w = f->open();
    Show(w);
    FocusNode(w, w.tree().top());
    w.connectionPages().setModified(true);
    QVERIFY(w.connectionModified());
    QCOMPARE(w.document().confirmDiscard(), PromptAnswer::No);  // no question at all
  }

  void applyQuestionOnFocusChange() {
    f->settings().writeString("LastVNKFile", file);
    MainWindow& w = f->open();
    Show(w);
    QCOMPARE(w.currentFile(), file);
    auto* macroEditor = Child<QsciScintilla>(w, "Memo1");
    TreeNode* alpha = Child0(w, 0);
    TreeNode* beta = Child0(w, 1);

    // Cancel: the old node comes back with the edited text.
    FocusNode(w, alpha);
    TypeInto(macroEditor, "A");
    QCOMPARE(macroEditor->text(), QStringLiteral("Alogin alpha"));
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, ApplyQuestion("alpha"),
                       PromptAnswer::Cancel);
    FocusNode(w, beta);
    QTest::qWait(20);
    QCOMPARE(w.focusedNode(), alpha);
    QVERIFY(w.treeView().selectionModel()->isSelected(w.treeModel().indexOf(alpha)));
    QVERIFY(!w.treeView().selectionModel()->isSelected(w.treeModel().indexOf(beta)));
    QCOMPARE(macroEditor->text(), QStringLiteral("Alogin alpha"));
    QVERIFY(w.connectionModified());
    QCOMPARE(DecodeText(alpha->data().Macro), std::string("login alpha"));

    // No: the edits are dropped, the new node shows.
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, ApplyQuestion("alpha"),
                       PromptAnswer::No);
    FocusNode(w, beta);
    QTest::qWait(20);
    w.refreshCommands();
    QCOMPARE(w.focusedNode(), beta);
    QVERIFY(!w.connectionModified());
    QCOMPARE(macroEditor->text(), QStringLiteral("login beta"));
    QCOMPARE(DecodeText(alpha->data().Macro), std::string("login alpha"));
    QVERIFY(!w.isDocumentModified());

    // Yes: the edits go into the node being left.
    TypeInto(macroEditor, "B");
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, ApplyQuestion("beta"),
                       PromptAnswer::Yes);
    FocusNode(w, w.tree().top());  // the top node asks too
    QTest::qWait(20);
    QCOMPARE(DecodeText(beta->data().Macro), std::string("Blogin beta"));
    QVERIFY(w.isDocumentModified());
    QVERIFY(!w.connectionModified());

    // No question when nothing is pending, or when focusing the same node.
    FocusNode(w, alpha);
    TypeInto(macroEditor, "C");
    FocusNode(w, alpha);
    QTest::qWait(20);
    QVERIFY(w.connectionModified());
    QCOMPARE(f->prompter.asked().size(), std::size_t(3));
    w.connectionPages().setModified(false);
  }

  void closeAsksAndCancelKeepsWindow() {
    MainWindow& w = f->open();
    Show(w);
    Child<QCheckBox>(w, "cbAutoSave")->setChecked(false);
    w.importHandedOverFile(file);
    int cancelled = 0;
    QObject::connect(&w, &MainWindow::closeCancelled, [&] { ++cancelled; });
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, kSaveNoname, PromptAnswer::Cancel);
    QVERIFY(!w.close());
    QCOMPARE(cancelled, 1);
    QVERIFY(w.isVisible());
    // "Save changes on exit without prompting": saves without a question;
    // a cancelled Save as keeps the window open.
    Child<QCheckBox>(w, "cbAutoSave")->setChecked(true);
    f->dialogs.expectSave(std::nullopt);
    QVERIFY(!w.close());
    const std::string target = f->dir.file("Auto.vnk");
    f->dialogs.expectSave(target);
    QVERIFY(w.close());
    QVERIFY(FileExists(target));
    QCOMPARE(f->settings().readString("LastVNKFile", ""), target);
  }

  // Only unapplied page edits, the document itself unchanged: with "Save
  // changes on exit without prompting" the close applies and saves them
  // without a question.
  void closeWithAutoSaveKeepsUnappliedEditsSilently() {
    f->settings().writeString("LastVNKFile", file);
    MainWindow& w = f->open();
    Show(w);
    QVERIFY(Child<QCheckBox>(w, "cbAutoSave")->isChecked());
    FocusNode(w, Child0(w, 1));
    TypeInto(Child<QsciScintilla>(w, "Memo1"), "X");
    QVERIFY(w.connectionModified());
    QVERIFY(!w.isDocumentModified());
    QVERIFY(w.close());
    QVERIFY(f->prompter.asked().empty());
    ConnectionTree saved;
    QVERIFY(LoadConfiguration(saved, file, false).ok());
    QCOMPARE(DecodeText(saved.top()->child(1)->data().Macro), std::string("Xlogin beta"));
  }

  void loadingFailureIsReported() {
    const std::string bad = f->dir.file("Bad.vnk");
    test::WriteFile(bad, "NOTVNK");
    MainWindow& w = f->open();
    Show(w);
    f->dialogs.expectOpen(bad);
    f->prompter.expect(PromptKind::Warning, PromptButtons::OK, "Cannot open the file. Invalid file format.",
                       PromptAnswer::OK);
    Action(w, "BtnOpen")->trigger();
    QVERIFY(w.currentFile().empty());
    QVERIFY(w.recentFiles().files().empty());
    QCOMPARE(w.windowTitle(), QStringLiteral("Varnokc Configuration - [Noname.VNK]"));
  }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"
