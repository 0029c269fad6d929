// Long tree changes through the window: an import or a paste of many
// connections shows the progress window (here at once, not after half a
// second), keeps the event loop running, and its Cancel leaves the document
// exactly as it was; a finished one is one undoable step.
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "dialogs/progress_work.h"
#include "files/vnk_file.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::WindowFixture;

namespace {

// Enough connections that reading and naming them takes a good while
// longer than the few milliseconds the test needs to press Cancel.
constexpr int kMany = 200000;

// `count` connections named `name` below the top node; with `branch`, as
// children of one connection of that name instead.
void WriteMany(const std::string& path, const std::string& name, int count, const std::string& branch = "") {
  ConnectionTree tree;
  SubtreeBuilder builder(tree.memory());
  TreeNode* parent = builder.root();
  if (!branch.empty()) {
    rVTNodeData b;
    b.Name = branch;
    parent = builder.append(parent, b);
  }
  rVTNodeData d;
  d.Name = name;
  for (int i = 0; i < count; ++i) builder.append(parent, d);
  tree.insertRange(tree.top(), 0, builder.finish());
  QVERIFY(SaveConfiguration(tree, path));
}

// Watches for the progress window and, when asked to, presses its Cancel.
class ProgressWatch {
 public:
  ProgressWatch(MainWindow& w, bool cancel) {
    QObject::connect(&timer_, &QTimer::timeout, [this, &w, cancel] {
      auto* dialog = w.findChild<QProgressDialog*>(QStringLiteral("ProgressDialog"));
      if (!dialog || !dialog->isVisible()) return;
      seen = true;
      if (cancel && !pressed) {
        pressed = true;
        QPushButton* button = dialog->findChild<QPushButton*>();
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
      }
    });
    timer_.start(2);
  }
  bool seen = false;
  bool pressed = false;

 private:
  QTimer timer_;
};

}  // namespace

class LongChangeTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;

  MainWindow& open(const std::vector<std::string>& entries) {
    WindowServices services;
    services.dialogs = &f->dialogs;
    MainWindow& w = f->openActiveOn(entries, services);
    w.progressWork().setShowDelay(std::chrono::milliseconds(0));
    w.treeView().setFocus();
    return w;
  }
  static bool undoEnabled(MainWindow& w) {
    w.refreshCommands();
    auto* undo = test::Child<QAction>(w, "MnUndoTreeChange");
    return undo && undo->isEnabled();
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  void cancelledImportLeavesTheDocumentAsItWas() {
    MainWindow& w = open({"1:a:x", "2:kid:y"});
    const std::string before = WriteConfiguration(w.tree());
    const std::string caption = w.document().caption();
    const std::string many = f->dir.file("many.vnk");
    WriteMany(many, "a", kMany);
    w.selectNode(w.tree().top());
    f->dialogs.expectOpen(many);
    ProgressWatch watch(w, /*cancel=*/true);
    QVERIFY(test::Trigger(w, "MnImportConnection"));
    QVERIFY(watch.pressed);
    // No half import, no rename message, no change mark, nothing to undo.
    QCOMPARE(WriteConfiguration(w.tree()), before);
    QVERIFY(!w.isDocumentModified());
    QCOMPARE(w.document().caption(), caption);
    QVERIFY(!undoEnabled(w));
    QVERIFY(!w.findChild<QProgressDialog*>(QStringLiteral("ProgressDialog")));
  }

  void finishedImportIsOneUndoableStep() {
    MainWindow& w = open({"1:a:x"});
    const std::string before = WriteConfiguration(w.tree());
    const std::string many = f->dir.file("many.vnk");
    WriteMany(many, "a", kMany);
    w.selectNode(w.tree().top());
    f->dialogs.expectOpen(many);
    f->prompter.expect(
        PromptKind::Warning, PromptButtons::OK,
        std::to_string(kMany) + " imported items were renamed to avoid duplicate names among siblings.",
        PromptAnswer::OK);
    ProgressWatch watch(w, /*cancel=*/false);
    QVERIFY(test::Trigger(w, "MnImportConnection"));
    QVERIFY(watch.seen);
    QCOMPARE(w.tree().count(), kMany + 2);
    QCOMPARE(std::string(w.tree().top()->lastChild()->name()), "Copy (" + std::to_string(kMany) + ") of a");
    QVERIFY(w.isDocumentModified());
    const std::string after = WriteConfiguration(w.tree());
    QVERIFY(test::Trigger(w, "MnUndoTreeChange"));
    QCOMPARE(WriteConfiguration(w.tree()), before);
    QVERIFY(!undoEnabled(w));
    QVERIFY(test::Trigger(w, "MnRedoTreeChange"));
    QCOMPARE(WriteConfiguration(w.tree()), after);
    w.document().setModified(false);
  }

  void cancelledPasteLeavesTheTreeAsItWas() {
    const std::string file = f->dir.file("branch.vnk");
    WriteMany(file, "n", kMany, "branch");
    MainWindow& w = open({"1:other:"});
    f->dialogs.expectOpen(file);
    f->prompter.expect(
        PromptKind::Warning, PromptButtons::OK,
        std::to_string(kMany - 1) + " imported items were renamed to avoid duplicate names among siblings.",
        PromptAnswer::OK);
    QVERIFY(test::Trigger(w, "MnImportConnection"));
    // Once the progress window is gone, the window is active again.
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.treeView().setFocus();
    w.document().history().clear();
    w.document().setModified(false);
    TreeNode* branch = w.tree().top()->child(1);
    w.selectNode(branch);
    QVERIFY(test::Trigger(w, "MnCopy"));
    const std::string before = WriteConfiguration(w.tree());
    w.selectNode(branch);
    ProgressWatch watch(w, /*cancel=*/true);
    QVERIFY(test::Trigger(w, "MnPaste"));
    QVERIFY(watch.pressed);
    QCOMPARE(WriteConfiguration(w.tree()), before);
    QVERIFY(!w.isDocumentModified());
    QVERIFY(!undoEnabled(w));
  }
};

QTEST_MAIN(LongChangeTest)
#include "long_change_test.moc"
