// Saving over a file that another program changed after the window loaded it
// (here the command line's import, writing the configuration the window has
// open): every save asks first, and each answer does what it says.
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

#include "common/program_paths.h"
#include "common/stored_text.h"
#include "files/import_export.h"
#include "files/vnk_file.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::Trigger;
using varnok::test::WindowFixture;

namespace {

using Names = std::vector<std::string>;

// Answers the message box that the prompter shows next by clicking the button
// captioned `caption` (empty: pressing Escape); `captions` gets all of them.
void AnswerNextBox(const QString& caption, QStringList& captions) {
  QTimer::singleShot(0, [caption, &captions] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    for (QAbstractButton* b : box->buttons()) captions << b->text();
    for (QAbstractButton* b : box->buttons())
      if (!caption.isEmpty() && b->text() == caption) return b->click();
    QTest::keyClick(box, Qt::Key_Escape);
  });
}

void FocusNode(MainWindow& w, TreeNode* node) {
  w.treeView().setFocus();
  w.selectNode(node);
  QTest::qWait(0);
  w.refreshCommands();
}

Names NamesIn(const ConnectionTree& tree) {
  Names names;
  for (int i = 0; i < tree.top()->childCount(); ++i) names.emplace_back(tree.top()->child(i)->name());
  return names;
}

std::string BetaMacro(const ConnectionTree& tree) { return DecodeText(tree.top()->child(1)->data().Macro); }

// The names below the top node and the macro of the second connection, as stored.
struct Stored {
  Names names;
  std::string betaMacro;
};

Stored OnDisk(const std::string& path) {
  ConnectionTree tree;
  const LoadResult r = LoadConfiguration(tree, path, false);
  if (!r.ok() || tree.top()->childCount() < 2) return {{r.message}, ""};
  return {NamesIn(tree), BetaMacro(tree)};
}

}  // namespace

class DocumentChangedOnDiskTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;
  std::string file;
  std::string source;
  std::string question;

  // Opens the window on the file and applies an edit to beta: "X" before its macro.
  MainWindow& openAndEdit(const char* typed = "X") {
    MainWindow& w = f->openActive();
    edit(w, typed);
    return w;
  }
  void edit(MainWindow& w, const char* typed) {
    FocusNode(w, w.tree().top()->child(1));
    auto* macro = Child<QsciScintilla>(w, "Memo1");
    macro->setFocus();
    macro->setCursorPosition(0, 0);
    QTest::keyClicks(macro, QString::fromLatin1(typed));
    QVERIFY(Trigger(w, "BtnApply"));
    QVERIFY(w.isDocumentModified());
  }
  // What `vnk import` does: read the file, add the source's connections, write it back.
  void importElsewhere() {
    ConnectionTree tree;
    QVERIFY(LoadConfiguration(tree, file, false).ok());
    QVERIFY(ImportConnections(tree, source, f->programDir).load.ok());
    QVERIFY(SaveConfiguration(tree, file).ok);
  }
  void expectQuestion(PromptAnswer answer) {
    f->prompter.expect(PromptKind::Warning, PromptButtons::ReloadOverwriteSaveAsCancel, question, answer);
  }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    file = f->dir.file("Sites.vnk");
    source = f->dir.file("Extra.vnk");
    test::WriteVnk(file, {"1:alpha:login alpha", "1:beta:login beta"});
    test::WriteVnk(source, {"1:imported:login imported"});
    f->settings().writeString("LastVNKFile", file);
    question = "The file '" + file +
               "' was changed by another program since it was opened or last saved.\r\r"
               "Reload: read it again; the changes made here are lost.\r"
               "Overwrite: replace it; the other program's changes are lost.\r"
               "Save as ...: save under another name; the file stays as it is.";
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  // The lost update: the save asks instead of dropping the imported
  // connection; Cancel writes nothing, Overwrite writes the window's version,
  // and from then on the window's own saves ask nothing.
  void saveAfterAnImportAsksAndCancelOrOverwriteDoWhatTheySay() {
    MainWindow& w = openAndEdit();
    importElsewhere();

    expectQuestion(PromptAnswer::Cancel);
    QVERIFY(Trigger(w, "BtnSave"));
    QCOMPARE(OnDisk(file).names, (Names{"alpha", "beta", "imported"}));
    QVERIFY(w.isDocumentModified());
    QCOMPARE(w.windowTitle(), QStringLiteral("Varnokc Configuration - [Sites.vnk*]"));

    expectQuestion(PromptAnswer::Overwrite);
    QVERIFY(Trigger(w, "BtnSave"));
    QCOMPARE(OnDisk(file).names, (Names{"alpha", "beta"}));
    QCOMPARE(OnDisk(file).betaMacro, std::string("Xlogin beta"));
    QVERIFY(!w.isDocumentModified());

    edit(w, "Y");
    QVERIFY(Trigger(w, "BtnSave"));
    QCOMPARE(OnDisk(file).betaMacro, std::string("YXlogin beta"));
    QCOMPARE(f->prompter.asked().size(), std::size_t(2));
  }

  // Reload shows the file as the other program left it; the window's
  // edits are gone, the applied ones and those still on the page.
  void reloadTakesTheFileAsItIsNow() {
    MainWindow& w = openAndEdit();
    auto* macro = Child<QsciScintilla>(w, "Memo1");
    macro->setFocus();
    QTest::keyClicks(macro, QStringLiteral("unapplied"));
    QVERIFY(w.connectionModified());
    importElsewhere();
    expectQuestion(PromptAnswer::Reload);
    QVERIFY(Trigger(w, "BtnSave"));
    QCOMPARE(NamesIn(w.tree()), (Names{"alpha", "beta", "imported"}));
    QCOMPARE(BetaMacro(w.tree()), std::string("login beta"));
    QVERIFY(!w.isDocumentModified());
    QVERIFY(!w.connectionModified());
    FocusNode(w, w.tree().top()->child(1));
    QCOMPARE(macro->text(), QStringLiteral("login beta"));
    QCOMPARE(w.currentFile(), file);

    // The reloaded file is the window's now: the next save writes without asking.
    edit(w, "Z");
    QVERIFY(Trigger(w, "BtnSave"));
    const Stored saved = OnDisk(file);
    QCOMPARE(saved.names, (Names{"alpha", "beta", "imported"}));
    QCOMPARE(saved.betaMacro, std::string("Zlogin beta"));
  }

  // Save as keeps both versions: the other program's in the file, the window's in the new one.
  void saveAsKeepsTheOtherProgramsFile() {
    MainWindow& w = openAndEdit();
    importElsewhere();
    const std::string copy = f->dir.file("Mine.vnk");
    expectQuestion(PromptAnswer::SaveAs);
    f->dialogs.expectSave(copy);
    QVERIFY(Trigger(w, "BtnSave"));
    QCOMPARE(OnDisk(file).names, (Names{"alpha", "beta", "imported"}));
    QCOMPARE(OnDisk(copy).names, (Names{"alpha", "beta"}));
    QCOMPARE(OnDisk(copy).betaMacro, std::string("Xlogin beta"));
    QCOMPARE(w.currentFile(), copy);
    QVERIFY(!w.isDocumentModified());
  }

  // The saves inside Close ("Save changes on exit without prompting" too) and
  // inside New ask as well; Cancel keeps the window and the document.
  void closeAndNewAskBeforeSaving() {
    MainWindow& w = openAndEdit();
    importElsewhere();
    QVERIFY(Child<QCheckBox>(w, "cbAutoSave")->isChecked());
    expectQuestion(PromptAnswer::Cancel);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());

    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel,
                       "Do you want to save the changes you made to Sites.vnk?", PromptAnswer::Yes);
    expectQuestion(PromptAnswer::Cancel);
    QVERIFY(Trigger(w, "BtnNew"));
    QCOMPARE(NamesIn(w.tree()), (Names{"alpha", "beta"}));
    QVERIFY(w.isDocumentModified());
    QCOMPARE(OnDisk(file).names, (Names{"alpha", "beta", "imported"}));

    expectQuestion(PromptAnswer::Overwrite);
    QVERIFY(w.close());
    QCOMPARE(OnDisk(file).betaMacro, std::string("Xlogin beta"));
  }

  // A file deleted meanwhile has nothing to lose or reload: Save writes it anew.
  void deletedFileIsSavedWithoutAQuestion() {
    MainWindow& w = openAndEdit();
    QVERIFY(std::remove(file.c_str()) == 0);
    QVERIFY(Trigger(w, "BtnSave"));
    QCOMPARE(OnDisk(file).betaMacro, std::string("Xlogin beta"));
    QVERIFY(!w.isDocumentModified());
  }

  // On screen the question has buttons of its own, each giving its answer;
  // Escape is Cancel, which loses nothing.
  void messageBoxButtonsGiveTheirAnswers() {
    const auto prompter = MakeMessageBoxPrompter(nullptr);
    const QStringList expected{QStringLiteral("Reload"), QStringLiteral("Overwrite"),
                               QStringLiteral("Save as ..."), QStringLiteral("Cancel")};
    const std::vector<std::pair<QString, PromptAnswer>> cases{
        {QStringLiteral("Reload"), PromptAnswer::Reload},
        {QStringLiteral("Overwrite"), PromptAnswer::Overwrite},
        {QStringLiteral("Save as ..."), PromptAnswer::SaveAs},
        {QString(), PromptAnswer::Cancel}};
    for (const auto& [caption, answer] : cases) {
      QStringList captions;
      AnswerNextBox(caption, captions);
      QCOMPARE(prompter->ask(PromptKind::Warning, PromptButtons::ReloadOverwriteSaveAsCancel, "changed"),
               answer);
      captions.replaceInStrings(QStringLiteral("&"), QString());
      captions.sort();
      QStringList sorted = expected;
      sorted.sort();
      QCOMPARE(captions, sorted);
    }
  }

  // A reload of a file that is now damaged says so and keeps the document whole.
  void reloadOfADamagedFileKeepsTheDocument() {
    MainWindow& w = openAndEdit();
    test::WriteFile(file, "NOTVNK");
    expectQuestion(PromptAnswer::Reload);
    f->prompter.expect(PromptKind::Warning, PromptButtons::OK, "Cannot open the file. Invalid file format.",
                       PromptAnswer::OK);
    QVERIFY(Trigger(w, "BtnSave"));
    QCOMPARE(NamesIn(w.tree()), (Names{"alpha", "beta"}));
    QCOMPARE(BetaMacro(w.tree()), std::string("Xlogin beta"));
    QVERIFY(w.isDocumentModified());
    QCOMPARE(w.currentFile(), file);
    QCOMPARE(test::ReadFile(file), std::string("NOTVNK"));
  }
};

QTEST_MAIN(DocumentChangedOnDiskTest)
#include "document_changed_on_disk_test.moc"
