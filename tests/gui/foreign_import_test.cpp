// File > "Import from other tools" through the window: the preview's counts
// and notes, unchecking (a jump host goes with what is checked below it),
// OK as one undoable step, another file, Cancel, and a source that fails.
#include <QAbstractItemModel>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <functional>

#include "dialogs/import_preview_dialog.h"
#include "dialogs/import_preview_model.h"
#include "files/vnk_file.h"
#include "scoped_env.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::WindowFixture;

namespace {

// Runs `act` on the preview dialog as soon as it is shown (it runs modally).
void WhenPreviewShows(std::function<void(ImportPreviewDialog&)> act) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
    if (auto* d = qobject_cast<ImportPreviewDialog*>(QApplication::activeModalWidget())) {
      poll->stop();
      poll->deleteLater();
      act(*d);
      if (d->isVisible()) d->reject();  // a failed check must not leave the test waiting
    }
  });
  poll->start();
}

QString Counts(ImportPreviewDialog& d) { return d.findChild<QLabel*>("ImportCounts")->text(); }

QModelIndex Find(ImportPreviewModel& m, const QString& name, const QModelIndex& parent = {}) {
  for (int r = 0; r < m.rowCount(parent); ++r) {
    const QModelIndex i = m.index(r, 0, parent);
    if (i.data().toString() == name) return i;
    if (QModelIndex deeper = Find(m, name, i); deeper.isValid()) return deeper;
  }
  return {};
}

}  // namespace

class ForeignImportTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;
  std::unique_ptr<test::ScopedEnv> home;

  MainWindow& open(const std::vector<std::string>& entries) {
    WindowServices services;
    services.dialogs = &f->dialogs;
    return f->openActiveOn(entries, services);
  }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    home = std::make_unique<test::ScopedEnv>("HOME", f->dir.file("home"));
    std::filesystem::create_directories(f->dir.file("home/.ssh"));
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
    home.reset();
  }

  void previewCountsUncheckingOkAndUndo() {
    test::WriteFile(f->dir.file("home/.ssh/config"),
                    "Host *.lab\n  User ops\nHost bastion\nHost db app\n  ProxyJump bastion\nMatch all\n");
    MainWindow& w = open({"1:bastion:x"});
    const std::string before = WriteConfiguration(w.tree());
    bool shown = false;
    WhenPreviewShows([&](ImportPreviewDialog& d) {
      shown = true;
      ImportPreviewModel& m = d.model();
      QCOMPARE(Counts(d), QStringLiteral("3 of 3 connections checked; 2 entries skipped or doubtful"));
      const QString notes = d.findChild<QPlainTextEdit*>("ImportNotes")->toPlainText();
      QVERIFY2(notes.contains("Skipped: ") && notes.contains("Host *.lab: a pattern, not a connection"),
               qPrintable(notes));
      QVERIFY(notes.contains("Match all: Match blocks are not evaluated"));
      auto* ok = d.findChild<QPushButton*>("ImportOk");
      // Unchecking the jump host unchecks what is reached through it.
      m.setData(Find(m, "bastion"), Qt::Unchecked, Qt::CheckStateRole);
      QCOMPARE(Counts(d), QStringLiteral("0 of 3 connections checked; 2 entries skipped or doubtful"));
      QVERIFY(!ok->isEnabled());
      // Checking a target brings its jump host back.
      m.setData(Find(m, "db"), Qt::Checked, Qt::CheckStateRole);
      QCOMPARE(Counts(d), QStringLiteral("2 of 3 connections checked; 2 entries skipped or doubtful"));
      QCOMPARE(Find(m, "bastion").data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
      QCOMPARE(Find(m, "app").data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
      QVERIFY(ok->isEnabled());
      ok->click();
    });
    f->prompter.expect(PromptKind::Warning, PromptButtons::OK,
                       "1 imported item was renamed to avoid duplicate names among siblings.",
                       PromptAnswer::OK);
    QVERIFY(test::Trigger(w, "MnImportOpenSsh"));
    QVERIFY(shown);
    const TreeNode* top = w.tree().top();
    QCOMPARE(top->childCount(), 2);
    QCOMPARE(std::string(top->child(1)->name()), std::string("Copy of bastion"));
    QCOMPARE(top->child(1)->childCount(), 1);
    QCOMPARE(std::string(top->child(1)->child(0)->name()), std::string("db"));
    QVERIFY(w.isDocumentModified());
    QVERIFY(test::Trigger(w, "MnUndoTreeChange"));
    QCOMPARE(WriteConfiguration(w.tree()), before);
    w.document().setModified(false);
  }

  // CSV has no default place: the open dialog asks. "Choose another file
  // ..." asks again; Cancel there imports nothing; a broken file says why.
  void anotherFileCancelAndFailure() {
    MainWindow& w = open({"1:a:"});
    const std::string before = WriteConfiguration(w.tree());
    test::WriteFile(f->dir.file("t.csv"), "name,host\nweb,10.0.0.1\n");
    f->dialogs.expectOpen(f->dir.file("t.csv"));
    f->dialogs.expectOpen(std::nullopt);
    WhenPreviewShows([](ImportPreviewDialog& d) {
      QCOMPARE(Counts(d), QStringLiteral("1 of 1 connections checked; 0 entries skipped or doubtful"));
      d.findChild<QPushButton*>("ImportChooseSource")->click();
    });
    QVERIFY(test::Trigger(w, "MnImportCsv"));
    QCOMPARE(f->dialogs.requests().back().title, std::string("Import connections from a CSV table"));
    QCOMPARE(WriteConfiguration(w.tree()), before);
    QVERIFY(!w.isDocumentModified());

    test::WriteFile(f->dir.file("bad.csv"), "port\n22\n");
    f->dialogs.expectOpen(f->dir.file("bad.csv"));
    f->prompter.expect(
        PromptKind::Warning, PromptButtons::OK,
        f->dir.file("bad.csv") +
            " is no table of connections: its header row names neither a \"name\" nor a \"host\" "
            "column.",
        PromptAnswer::OK);
    QVERIFY(test::Trigger(w, "MnImportCsv"));
    QCOMPARE(WriteConfiguration(w.tree()), before);

    // The PuTTY folder below the home folder is read without asking; Cancel adds nothing.
    std::filesystem::create_directories(f->dir.file("home/.putty/sessions"));
    test::WriteFile(f->dir.file("home/.putty/sessions/Box"), "HostName=box\n");
    WhenPreviewShows([](ImportPreviewDialog& d) { d.reject(); });
    QVERIFY(test::Trigger(w, "MnImportPutty"));
    QCOMPARE(WriteConfiguration(w.tree()), before);
  }
};

QTEST_MAIN(ForeignImportTest)
#include "foreign_import_test.moc"
