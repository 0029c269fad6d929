// The run commands through the window, with the recording stand-in emulator:
// what each form hands the emulator (arguments, macro, settings), unapplied
// editor text and the logging box used as they stand, the "to cursor" cut,
// the user variables, a missing emulator, and Show popup.
#include <Qsci/qsciscintilla.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "recording_emulator_qt.h"
#include "run/preview_window.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

namespace {

// The status tips that reach the window: what its status bar shows.
struct StatusTips : QObject {
  explicit StatusTips(QWidget& window) { window.installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::StatusTip) {
      const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
      if (!tip.isEmpty()) shown << tip;
    }
    return false;
  }
  QStringList shown;
};

}  // namespace

class RunCommandsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;
  std::unique_ptr<test::RecordingEmulator> emulator;

  MainWindow& open(const std::vector<std::string>& entries) {
    WindowServices services;
    services.programDir = emulator->path();
    return f->openActiveOn(entries, services);
  }
  void focusNode(MainWindow& w, TreeNode* node) {
    w.treeView().setFocus();
    w.selectNode(node);
    w.refreshCommands();
  }
  void trigger(MainWindow& w, const char* name) { QVERIFY2(test::Trigger(w, name), name); }
  static std::string macroOf(const nlohmann::json& r) { return r["macro"].get<std::string>(); }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    emulator = std::make_unique<test::RecordingEmulator>();
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
    emulator.reset();
  }

  // Run hands over the connection's own macro with its variables replaced;
  // Run branch puts the ancestors' stored macros first.
  void runAndRunBranch() {
    MainWindow& w = open({"1:jump:connect jump", "2:router:sendln '$NAME$ on $CONNECTION$'"});
    Child<QLineEdit>(w, "Edit1")->setText(QStringLiteral("John"));
    TreeNode* router = w.tree().top()->child(0)->child(0);
    focusNode(w, router);
    auto* logging = Child<QCheckBox>(w, "cbLogSession");
    QVERIFY(logging->isChecked());
    logging->click();                                // unapplied: the box as it stands counts
    auto* schema = Child<QComboBox>(w, "CBSchema");  // and so do the Colors page's colours
    schema->setCurrentIndex(4);
    emit schema->activated(4);  // "Green on Black"
    trigger(w, "BtnRun");
    auto lines = emulator->records(1);
    QCOMPARE(lines.size(), std::size_t(1));
    QCOMPARE(macroOf(lines[0]), std::string("sendln 'John on router'\r\n"));
    const auto argv = lines[0]["argv"];
    QCOMPARE(argv.size(), std::size_t(2));
    QVERIFY(argv[0].get<std::string>().starts_with("/F=" + emulator->path() + "/Temp_CVL/"));
    QVERIFY(argv[1].get<std::string>().starts_with("/M=" + emulator->path() + "/Temp_CVL/"));
    QVERIFY(lines[0]["settings"].get<std::string>().find("VTColor=0,255,0,0,0,0") != std::string::npos);

    trigger(w, "BtnRunBranch");
    lines = emulator->records(2);
    QCOMPARE(lines.size(), std::size_t(2));
    QCOMPARE(macroOf(lines[1]), std::string("connect jump\r\nsendln 'John on router'\r\n"));
    QVERIFY(lines[1]["argv"][1] != lines[0]["argv"][1]);  // the next numbered pair
    w.connectionPages().setModified(false);
  }

  // Unapplied editor text runs as it stands and the logging box counts;
  // "to cursor" runs through the caret's line and leaves the lines selected.
  void unappliedTextAndToCursor() {
    MainWindow& w = open({"1:jump:connect jump", "2:router:one"});
    TreeNode* router = w.tree().top()->child(0)->child(0);
    focusNode(w, router);
    auto* macro = Child<QsciScintilla>(w, "Memo1");
    macro->setFocus();
    macro->setText(QStringLiteral("line1\nline2\nline3"));
    QVERIFY(w.connectionModified());
    QVERIFY(Child<QCheckBox>(w, "cbLogSession")->isChecked());
    trigger(w, "BtnRunBranch");
    auto lines = emulator->records(1);
    QCOMPARE(lines.size(), std::size_t(1));
    const std::string run = macroOf(lines[0]);
    QVERIFY2(run.starts_with("connect jump\r\nline1\r\nline2\r\nline3\r\n"), run.c_str());
    QVERIFY2(run.find("logopen fn 0 0") != std::string::npos, "the box asks for the log-opening block");

    macro->setFocus();
    macro->setCursorPosition(1, 2);
    macro->setSelection(1, 1, 1, 2);  // the to-cursor forms need a selection to be offered
    Child<QCheckBox>(w, "cbLogSession")->click();
    trigger(w, "BtnRunToCursor");
    lines = emulator->records(2);
    QCOMPARE(lines.size(), std::size_t(2));
    QCOMPARE(macroOf(lines[1]), std::string("line1\r\nline2\r\n"));  // no log block: the box is off
    QCOMPARE(macro->selectedText(), QStringLiteral("line1\nline2"));
    w.connectionPages().setModified(false);
  }

  // With only a caret, Run to cursor is greyed and says why in its tool tip,
  // and its key puts the reason in the status bar. After a run the caret
  // stays on its line: the same lines run again, not one more.
  void runToCursorSaysWhyAndKeepsTheCaretsLine() {
    MainWindow& w = open({"1:jump:connect jump", "2:router:line1\r\nline2\r\nline3"});
    focusNode(w, w.tree().top()->child(0)->child(0));
    auto* macro = Child<QsciScintilla>(w, "Memo1");
    macro->setFocus();
    macro->setCursorPosition(1, 2);
    w.refreshCommands();
    const QString why = QStringLiteral("Select the lines to run");
    QAction* button = Child<QAction>(w, "BtnRunToCursor");
    QVERIFY(!button->isEnabled());
    QCOMPARE(button->statusTip(), why);
    QCOMPARE(button->toolTip(), QStringLiteral("Run to cursor (F8)\n") + why);
    QCOMPARE(Child<QAction>(w, "MnExecuteToCursor")->statusTip(), why);
    QCOMPARE(Child<QAction>(w, "BtnRun")->toolTip(), QStringLiteral("Run (F9)"));  // enabled: the hint alone

    StatusTips tips(w);
    QTest::keyClick(macro, Qt::Key_F8);
    QCOMPARE(tips.shown, QStringList{why});
    QTest::keyClick(macro, Qt::Key_F8, Qt::ControlModifier);  // Run branch to cursor fails the same rule
    QCOMPARE(tips.shown, (QStringList{why, why}));
    QTest::qWait(200);
    QVERIFY(!std::filesystem::exists(emulator->recordFile()));

    macro->setSelection(1, 1, 1, 2);
    w.refreshCommands();
    QVERIFY(button->isEnabled());
    QCOMPARE(button->toolTip(), QStringLiteral("Run to cursor (F8)"));
    QTest::keyClick(macro, Qt::Key_F8);
    auto lines = emulator->records(1);
    QCOMPARE(lines.size(), std::size_t(1));
    QVERIFY2(macroOf(lines[0]).starts_with("line1\r\nline2\r\n"), macroOf(lines[0]).c_str());
    QVERIFY(macroOf(lines[0]).find("line3") == std::string::npos);
    int line = -1, index = -1;
    macro->getCursorPosition(&line, &index);
    QCOMPARE(line, 1);
    QCOMPARE(macro->selectedText(), QStringLiteral("line1\r\nline2"));

    w.refreshCommands();
    QTest::keyClick(macro, Qt::Key_F8, Qt::ControlModifier);
    lines = emulator->records(2);
    QCOMPARE(lines.size(), std::size_t(2));
    QVERIFY2(macroOf(lines[1]).starts_with("connect jump\r\nline1\r\nline2\r\n"), macroOf(lines[1]).c_str());
    QVERIFY(macroOf(lines[1]).find("line3") == std::string::npos);
  }

  // The preview holds byte for byte what Run branch then writes, and follows the focus.
  void previewEqualsTheRunsMacroFile() {
    MainWindow& w = open({"1:jump:connect jump", "2:router:sendln '$NAME$'\r\n$LOGIT$"});
    Child<QLineEdit>(w, "Edit1")->setText(QStringLiteral("Ann"));
    TreeNode* router = w.tree().top()->child(0)->child(0);
    focusNode(w, router);
    trigger(w, "MnPreviewBranchMacro");
    auto* preview = Child<QsciScintilla>(w, "PreviewEditor");
    QVERIFY(preview && preview->isVisible() && preview->isReadOnly());
    const std::string shown = preview->text().toStdString();
    trigger(w, "BtnRunBranch");
    auto lines = emulator->records(1);
    QCOMPARE(lines.size(), std::size_t(1));
    QCOMPARE(shown, macroOf(lines[0]));
    QVERIFY(shown.find("logopen") != std::string::npos);
    focusNode(w, w.tree().top()->child(0));
    QCOMPARE(preview->text().left(14), QStringLiteral("connect jump\r\n"));
    QVERIFY(!preview->text().contains(QStringLiteral("Ann")));
  }

  // The preview's title names its connection; with several selected a line
  // says which one it shows; Esc and Close close it.
  void previewNamesItsConnectionAndCloses() {
    MainWindow& w = open({"1:Site:connect site", "2:Lab:connect lab", "3:router1:sendln r", "2:switch:s"});
    TreeNode* lab = w.tree().top()->child(0)->child(0);
    focusNode(w, lab->child(0));
    trigger(w, "MnPreviewBranchMacro");
    auto* preview = w.findChild<PreviewWindow*>();
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(preview->windowTitle(), QStringLiteral("Preview \u2013 Site/Lab/router1"));
    auto* note = Child<QLabel>(w, "PreviewNote");
    QVERIFY(note && !note->isVisible());

    w.treeView().selectionModel()->select(w.treeModel().indexOf(w.tree().top()->child(0)->child(1)),
                                          QItemSelectionModel::Select);
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(),
             QStringLiteral(
                 "2 connections are selected; this is the macro of the focused one, Site/Lab/router1."));
    QVERIFY(preview->editor().text().contains(QStringLiteral("sendln r")));
    focusNode(w, lab);
    QCOMPARE(preview->windowTitle(), QStringLiteral("Preview \u2013 Site/Lab"));
    QVERIFY(!note->isVisible());

    preview->activateWindow();
    preview->editor().setFocus();
    QTest::keyClick(&preview->editor(), Qt::Key_Escape);
    QVERIFY(!preview->isVisible());
    trigger(w, "MnPreviewBranchMacro");
    QVERIFY(preview->isVisible());
    auto* close = preview->findChild<QPushButton*>(QStringLiteral("PreviewClose"));
    QVERIFY(close && close->isVisible());
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!preview->isVisible());
  }

  void missingEmulatorIsReported() {
    MainWindow& w = open({"1:a:x"});
    std::filesystem::remove(emulator->programs().file("corvmain"));
    focusNode(w, w.tree().top()->child(0));
    f->prompter.expect(PromptKind::Error, PromptButtons::OK,
                       "CORVMAIN not found.\rPlease move varnokc into Corvane directory and restart it.",
                       PromptAnswer::OK);
    trigger(w, "BtnRun");
    QVERIFY(!std::filesystem::exists(emulator->path() + "/Temp_CVL/~macroC1.cvl"));
  }

  // A Temp_CVL that is a link (it could lead anywhere) is refused through
  // the prompts, naming it, its owner and mode; nothing is written or started.
  void linkedTempFolderIsRefused() {
    MainWindow& w = open({"1:a:x"});
    const std::string temp = emulator->path() + "/Temp_CVL";
    std::filesystem::create_directory(emulator->programs().scratch("elsewhere"));
    std::filesystem::create_directory_symlink(emulator->programs().scratch("elsewhere"), temp);
    focusNode(w, w.tree().top()->child(0));
    f->prompter.expect(PromptKind::Warning, PromptButtons::OK,
                       "Temp_CVL folder '" + temp + "' is not safe to use: a symbolic link, owned by uid " +
                           std::to_string(::geteuid()) + ", mode 0777.",
                       PromptAnswer::OK);
    f->prompter.expect(PromptKind::Error, PromptButtons::OK,
                       "Cannot use the folder " + temp + ". Cannot execute macro.", PromptAnswer::OK);
    trigger(w, "BtnRun");
    QVERIFY(std::filesystem::is_empty(emulator->programs().scratch("elsewhere")));
    QTest::qWait(200);
    QVERIFY(!std::filesystem::exists(emulator->recordFile()));
  }

  // Run all selected: tree order whatever the order of selecting, each from
  // its stored record, the progress in the status bar; tree edits wait; Esc
  // cancels the starts still to come; more than 128 are refused.
  void runAllSelectedStartsInTreeOrder() {
    f->settings().writeString("MultiStartInterval", "2");  // the shortest interval
    MainWindow& w = open({"1:jump:connect jump", "2:router:r", "1:lab:l", "1:spare:s"});
    TreeNode* top = w.tree().top();
    TreeNode* router = top->child(0)->child(0);
    focusNode(w, router);
    for (TreeNode* n : {top->child(0), top->child(1)})
      w.treeView().selectionModel()->select(w.treeModel().indexOf(n), QItemSelectionModel::Select);
    trigger(w, "MnRunAllSelected");
    auto* progress = Child<QLabel>(w, "MultiRunProgress");
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->text(), QStringLiteral("Starting 1 of 3: jump"));
    f->prompter.expect(
        PromptKind::Information, PromptButtons::OK,
        "\"Run all selected\" is still starting connections.\rWait until it has finished, or cancel "
        "it with Esc.",
        PromptAnswer::OK);
    focusNode(w, top->child(2));
    trigger(w, "MnAddChild");
    QCOMPARE(top->child(2)->childCount(), 0);
    auto lines = emulator->records(3);
    QTRY_VERIFY_WITH_TIMEOUT(!progress->isVisible(), 10000);
    lines = emulator->records(3);
    QCOMPARE(lines.size(), std::size_t(3));
    QCOMPARE(macroOf(lines[0]).substr(0, 14), std::string("connect jump\r\n"));
    QCOMPARE(macroOf(lines[1]).substr(0, 17), std::string("connect jump\r\nr\r\n"));
    QCOMPARE(macroOf(lines[2]).substr(0, 3), std::string("l\r\n"));

    // Esc after the first start: nothing more is started.
    focusNode(w, top->child(1));
    w.treeView().selectionModel()->select(w.treeModel().indexOf(top->child(2)), QItemSelectionModel::Select);
    trigger(w, "MnRunAllSelected");
    QTest::keyClick(&w.treeView(), Qt::Key_Escape);
    QVERIFY(!progress->isVisible());
    QTest::qWait(2500);
    QCOMPARE(emulator->records(4).size(), std::size_t(4));
  }

  // The other windows are minimised before the first start and the started
  // emulators tiled after the last wait, unless "Do not tile" is ticked.
  void runAllSelectedMinimisesThenTilesTheStartedEmulators() {
    f->settings().writeString("MultiStartInterval", "2");
    std::vector<std::string> calls;
    std::vector<int> tiled;
    WindowServices services;
    services.programDir = emulator->path();
    services.desktop.minimizeOthers = [&](int own) {
      calls.push_back(own == static_cast<int>(QCoreApplication::applicationPid()) ? "minimize" : "minimize?");
      return true;
    };
    services.desktop.shown = [&](const std::vector<int>& pids) { return static_cast<int>(pids.size()); };
    services.desktop.tile = [&](const std::vector<int>& pids) {
      calls.push_back("tile");
      tiled = pids;
      return static_cast<int>(pids.size());
    };
    MainWindow& w = f->openActiveOn({"1:a:x", "1:b:y"}, services);
    TreeNode* top = w.tree().top();
    focusNode(w, top->child(0));
    w.treeView().selectionModel()->select(w.treeModel().indexOf(top->child(1)), QItemSelectionModel::Select);
    trigger(w, "MnRunAllSelected");
    QCOMPARE(calls, (std::vector<std::string>{"minimize"}));
    QTRY_VERIFY_WITH_TIMEOUT(!Child<QLabel>(w, "MultiRunProgress")->isVisible(), 10000);
    QCOMPARE(calls, (std::vector<std::string>{"minimize", "tile"}));
    QCOMPARE(tiled.size(), std::size_t(2));
    QVERIFY(tiled[0] > 0 && tiled[1] > 0 && tiled[0] != tiled[1]);

    Child<QCheckBox>(w, "cbDoNotTile")->setChecked(true);
    calls.clear();
    trigger(w, "MnRunAllSelected");
    QTRY_VERIFY_WITH_TIMEOUT(!Child<QLabel>(w, "MultiRunProgress")->isVisible(), 10000);
    QCOMPARE(calls, (std::vector<std::string>{"minimize"}));
    QCOMPARE(emulator->records(4).size(), std::size_t(4));
  }

  void moreThan128AreRefused() {
    std::vector<std::string> entries;
    for (int i = 0; i < 129; ++i) entries.push_back("1:n" + std::to_string(i) + ":x");
    MainWindow& w = open(entries);
    focusNode(w, w.tree().top()->child(0));
    QItemSelection all(w.treeModel().indexOf(w.tree().top()->child(0)),
                       w.treeModel().indexOf(w.tree().top()->child(128)));
    w.treeView().selectionModel()->select(all, QItemSelectionModel::Select);
    f->prompter.expect(PromptKind::Information, PromptButtons::OK,
                       "You can not run more than 128 connections at the same time.", PromptAnswer::OK);
    trigger(w, "MnRunAllSelected");
    QTest::qWait(300);
    QVERIFY(!std::filesystem::exists(emulator->recordFile()));
  }

  void showPopupShowsTheEditorsText() {
    MainWindow& w = open({"1:a:x"});
    focusNode(w, w.tree().top()->child(0));
    auto* pages = Child<QTabWidget>(w, "PG");
    pages->setCurrentIndex(2);
    auto* popup = Child<QsciScintilla>(w, "Memo2");
    popup->setFocus();
    popup->setText(QStringLiteral("Hello"));
    f->prompter.expect(PromptKind::Information, PromptButtons::OKCancel, "Hello\r\n\rPress Ok to continue.",
                       PromptAnswer::OK);
    trigger(w, "MnShowPopup");
    w.connectionPages().setModified(false);
  }
};

QTEST_MAIN(RunCommandsTest)
#include "run_commands_test.moc"
