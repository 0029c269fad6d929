// The document's decisions without a window: which question, which write,
// which signal, driven through recorded unapplied edits and scripted prompts.
#include <QTest>
#include <functional>
#include <utility>

#include "common/time_stamp.h"
#include "document/document.h"
#include "files/vnk_file.h"
#include "scripted_prompts_qt.h"
#include "temp_dir.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::ScriptedFileDialogs;
using varnok::test::ScriptedPrompter;
using varnok::test::TempDir;

namespace {

// The pages' side of the questions, and what the document reported.
struct RecordingHost : UnappliedEdits {
  std::optional<std::string> pending;  // a connection with unapplied edits
  std::vector<std::string> calls;
  // Runs while the document reads or writes its file, once.
  std::function<void()> whileBusy;

  std::optional<std::string> connectionName() const override { return pending; }
  void apply() override {
    calls.push_back("apply " + *pending);
    pending.reset();
  }
  void discard() override {
    calls.push_back("discard");
    pending.reset();
  }
  void listenTo(Document& document) {
    QObject::connect(&document, &Document::companionNoticeDue, [this] { calls.push_back("notify"); });
    QObject::connect(&document, &Document::replaced, [this] { calls.push_back("replaced"); });
    QObject::connect(&document, &Document::busyBegan, [this] {
      if (auto f = std::exchange(whileBusy, nullptr)) f();
    });
  }
  int count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
  }
};

const std::string kSaveNoname = "Do you want to save the changes you made to Noname.VNK?";

}  // namespace

class DocumentDecisionsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TempDir> dir;
  std::unique_ptr<RecordingHost> host;
  std::unique_ptr<ScriptedPrompter> prompter;
  std::unique_ptr<ScriptedFileDialogs> dialogs;
  FixedClock clock{{2026, 12, 8, 9, 5, 7}};
  std::unique_ptr<Document> doc;
  std::string file;

 private slots:
  void init() {
    dir = std::make_unique<TempDir>();
    host = std::make_unique<RecordingHost>();
    prompter = std::make_unique<ScriptedPrompter>();
    dialogs = std::make_unique<ScriptedFileDialogs>();
    doc = std::make_unique<Document>(Document::Context{*prompter, *dialogs, clock, *host}, dir->path());
    host->listenTo(*doc);
    file = dir->file("Sites.vnk");
    test::WriteVnk(file, {"1:alpha:login", "1:beta:"});
  }
  void cleanup() {
    const std::string problems = prompter->problems() + dialogs->problems();
    QVERIFY2(problems.empty(), problems.c_str());
  }

  // The apply question comes first; Cancel there asks nothing more.
  void discardAsksApplyThenSave() {
    QVERIFY(doc->load(file));
    doc->setModified(true);
    host->pending = "alpha";
    const std::string apply = "Do you want to apply the changes you made to  'alpha' ?";
    prompter->expect(PromptKind::Warning, PromptButtons::YesNoCancel, apply, PromptAnswer::Cancel);
    QCOMPARE(doc->confirmDiscard(), PromptAnswer::Cancel);
    QCOMPARE(host->count("apply alpha") + host->count("discard"), 0);

    prompter->expect(PromptKind::Warning, PromptButtons::YesNoCancel, apply, PromptAnswer::Yes);
    prompter->expect(PromptKind::Warning, PromptButtons::YesNoCancel,
                     "Do you want to save the changes you made to Sites.vnk?", PromptAnswer::No);
    QCOMPARE(doc->confirmDiscard(), PromptAnswer::No);
    QCOMPARE(host->count("apply alpha"), 1);

    // Nothing pending and nothing modified: no question at all.
    doc->setModified(false);
    QCOMPARE(doc->confirmDiscard(), PromptAnswer::No);
  }

  // Yes to saving an unnamed document with a cancelled dialog keeps it all.
  void newKeepsWorkWhenTheSaveIsCancelled() {
    doc->importFile(file);
    QVERIFY(doc->isModified());
    prompter->expect(PromptKind::Warning, PromptButtons::YesNoCancel, kSaveNoname, PromptAnswer::Yes);
    dialogs->expectSave(std::nullopt);
    QVERIFY(!doc->newDocument());
    QCOMPARE(doc->tree().top()->childCount(), 2);
    QVERIFY(doc->isModified());
    QCOMPARE(host->count("replaced"), 0);
  }

  // A damaged file: a warning, an unnamed document, no notification, no recent entry.
  void failedOpenLeavesTheDocumentUnnamed() {
    const std::string bad = dir->file("Bad.vnk");
    test::WriteFile(bad, std::string("VNK20") + std::string("\x05\x00\x00\x00", 4) + "xx");
    dialogs->expectOpen(bad);
    prompter->expect(PromptKind::Warning, PromptButtons::OK,
                     "Error reading file. The file contains inconsistent data.", PromptAnswer::OK);
    doc->open();
    QVERIFY(doc->currentFile().empty());
    QCOMPARE(host->count("notify"), 0);
    QVERIFY(doc->recentFiles().files().empty());
    QCOMPARE(doc->caption(), std::string("Varnokc Configuration - [Noname.VNK]"));
  }

  // A write that fails names the path, keeps the mark, and still tells the companion.
  void failedSaveIsReportedAndKeepsTheMark() {
    QVERIFY(doc->load(file));
    doc->setModified(true);
    const std::string target = dir->file("missing-folder/Copy.vnk");
    dialogs->expectSave(target);
    prompter->expect(PromptKind::Error, PromptButtons::OK,
                     target + ": cannot write in the folder " + dir->file("missing-folder") +
                         ": No such file or directory",
                     PromptAnswer::OK);
    QVERIFY(!doc->saveAs());
    QVERIFY(doc->isModified());
    QCOMPARE(host->count("notify"), 1);
    QCOMPARE(doc->recentFiles().files(), std::vector<std::string>{});
  }

  // "Save changes on exit without prompting" keeps unapplied edits too: they
  // are applied, then the file is saved, without a question.
  void closeWithAutoSaveAppliesPendingEditsFirst() {
    QVERIFY(doc->load(file));
    doc->setModified(true);
    host->pending = "beta";
    QVERIFY(doc->mayClose(true));
    QCOMPARE(host->calls.back(), std::string("notify"));
    QCOMPARE(host->count("apply beta"), 1);
    QVERIFY(!doc->isModified());
    QVERIFY(prompter->asked().empty());
  }

  // A close whose save is cancelled keeps the window; no notification then.
  void cancelledCloseSaveKeepsTheWindow() {
    doc->importFile(file);
    dialogs->expectSave(std::nullopt);
    const int before = host->count("notify");
    QVERIFY(!doc->mayClose(true));
    QCOMPARE(host->count("notify"), before);
  }

  // Another program writes the file while the document is saving it: its
  // file stays, and the question comes as if it had written before.
  void fileWrittenDuringTheSaveIsNotReplaced() {
    QVERIFY(doc->load(file));
    doc->setModified(true);
    host->whileBusy = [this] { test::WriteVnk(file, {"1:other:"}); };
    prompter->expect(PromptKind::Warning, PromptButtons::ReloadOverwriteSaveAsCancel,
                     "The file '" + file +
                         "' was changed by another program since it was opened or last saved.\r\r"
                         "Reload: read it again; the changes made here are lost.\r"
                         "Overwrite: replace it; the other program's changes are lost.\r"
                         "Save as ...: save under another name; the file stays as it is.",
                     PromptAnswer::Cancel);
    QVERIFY(!doc->save());
    ConnectionTree stored;
    QVERIFY(LoadConfiguration(stored, file, false).ok());
    QCOMPARE(stored.top()->childCount(), 1);
    QVERIFY(doc->isModified());
    QCOMPARE(host->count("notify"), 0);  // nothing was written
  }

  void recentEntryOfAVanishedFileIsDropped() {
    doc->recentFiles().assign({dir->file("Gone.vnk"), file});
    prompter->expect(PromptKind::Warning, PromptButtons::OK,
                     "File '" + dir->file("Gone.vnk") + "' does not exist any more.", PromptAnswer::OK);
    doc->openRecent(dir->file("Gone.vnk"));
    QCOMPARE(doc->recentFiles().files(), std::vector<std::string>{file});
    doc->openRecent(file);
    QCOMPARE(doc->currentFile(), file);
    QCOMPARE(doc->tree().top()->childCount(), 2);
    QCOMPARE(host->count("notify"), 1);
  }
};

QTEST_MAIN(DocumentDecisionsTest)
#include "document_decisions_test.moc"
