// The companion's menu, runs, reloads and schedules, driven in-process with a
// recording launcher and a clock the test sets.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>

#include "common/stored_text.h"
#include "companion.h"
#include "files/vnk_file.h"
#include "history_window.h"
#include "platform/posix/settings_file.h"
#include "platform/settings_names.h"
#include "program_dir.h"
#include "scoped_env.h"
#include "temp_dir.h"
#include "tray_menu.h"
#include "tree_helpers.h"

using namespace varnok;

namespace {

class TestClock : public pages::WallClock {
 public:
  std::int64_t now() const override { return t; }
  std::int64_t t = 0;
};

std::int64_t At(int y, int mo, int d, int h, int mi, int s = 0) {
  return *pages::FirstInstantOf({y, mo, d, h, mi}) + s;
}

struct Launch {
  std::string program;
  std::vector<std::string> args;
};

// A program directory with the emulator's files, a settings file and a
// configuration; the companion under test runs with a recording launcher.
struct Fixture {
  test::TempDir dir;
  test::ScopedEnv tz{"TZ", "UTC"};
  std::string programDir = dir.path() + "/program";
  std::string vnk = dir.file("net.vnk");
  std::unique_ptr<platform::SettingsStore> settings = platform::OpenSettingsFile(dir.file("Varnok.conf"));
  TestClock clock;
  std::vector<Launch> launches;
  std::vector<std::string> records;
  std::unique_ptr<tray::Companion> companion;

  Fixture() {
    tzset();
    std::filesystem::create_directories(programDir);
    test::WriteFile(programDir + "/corvmain", "#!/bin/sh\n");
    std::filesystem::copy_file(std::string(VARNOK_BIN_DIR) + "/corvane.ini", programDir + "/corvane.ini");
    settings->write({setting::LastVNKFile.value(vnk), setting::MultiStartInterval.value("2")});
    clock.t = At(2026, 5, 4, 8, 59, 30);
  }
  ~Fixture() { tzset(); }

  // Top: "Lab" (macro "lab") with children "Router" and a separator and
  // "Switch"; "Solo" (schedule as given).
  void writeTree(const std::string& soloSchedule = "", const std::string& routerSchedule = "") {
    ConnectionTree tree;
    TreeNode* lab = test::Add(tree, tree.top(), "Lab");
    auto withMacro = [&](TreeNode* n, const std::string& macro, const std::string& schedule) {
      rVTNodeData d = n->data();
      d.Macro = EncodeText(macro);
      d.Schedule = schedule;
      tree.setData(n, d);
    };
    withMacro(lab, "connect lab", "");
    withMacro(test::Add(tree, lab, "Router"), "sendln router", routerSchedule);
    test::Add(tree, lab, "----- separator line -----");
    withMacro(test::Add(tree, lab, "Switch & Co"), "sendln switch", "");
    withMacro(test::Add(tree, tree.top(), "Solo"), "connect solo", soloSchedule);
    QVERIFY(SaveConfiguration(tree, vnk));
  }

  tray::Companion& start(double clockRate = 1000) {
    tray::CompanionOptions o;
    o.programDir = programDir;
    o.clock = &clock;
    o.clockRate = clockRate;  // 1000: "MultiStartInterval" seconds pass in milliseconds
    o.launch = [this](const std::string& p, const std::vector<std::string>& a) {
      launches.push_back({p, a});
      return platform::LaunchResult{true, ""};
    };
    o.launchEditor = o.launch;
    o.historyFile = dir.file("data/varnok-runs.log");
    o.record = [this](const std::string& line) { records.push_back(line); };
    companion = std::make_unique<tray::Companion>(o, *settings);
    return *companion;
  }

  std::string macroOf(const Launch& l) {
    return test::ReadFile(l.args.at(1).substr(3));  // "/M=<path>"
  }
  int notices() const {
    return static_cast<int>(std::count_if(records.begin(), records.end(),
                                          [](const std::string& r) { return r.rfind("notice: ", 0) == 0; }));
  }
};

QStringList Texts(const QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("--") : a->text());
  return out;
}

QAction* Find(const QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions())
    if (a->text() == text) return a;
  return nullptr;
}

QMenu* Open(QAction* submenuAction) {
  QMenu* sub = submenuAction ? submenuAction->menu() : nullptr;
  if (sub) emit sub->aboutToShow();
  return sub;
}

}  // namespace

class CompanionTrayTest : public QObject {
  Q_OBJECT
 private slots:
  void menuMirrorsTheTreeAndFillsSubmenusWhenOpened();
  void aClickRunsTheBranchAndSelectsTheConnectionForTheEditor();
  void manyConnectionsAreSplitIntoSmallMenus();
  void damagedFileKeepsTheLastGoodMenuAndIsReportedOnce();
  void schedulesRunOnTimeOneAfterAnotherAndMissedRunsAreListedOnce();
  void doubleClickActionsAndTheHistoryWindow();
  void clockSetBackGoesOnFromTheNewTimeAndTheHistorySaysSo();
  void runsThatCannotStartWithinTheirMinuteAreDropped();
  void reloadRequestsComingTogetherAreOneReload();
  void historySaysWhoseMacrosRan();
  void deepChainMenuStopsAtItsDepthAndTheDeepestRunsOnSchedule();
};

void CompanionTrayTest::menuMirrorsTheTreeAndFillsSubmenusWhenOpened() {
  Fixture f;
  f.writeTree();
  tray::Companion& c = f.start();
  // Offscreen there is no tray: the window says why and carries the menu.
  QVERIFY(c.window());
  auto* why = c.window()->findChild<QLabel*>(QStringLiteral("why"));
  QVERIFY(why && why->text().contains(QStringLiteral("no system tray")));
  QVERIFY(std::find(f.records.begin(), f.records.end(), "tray: window (offscreen)") != f.records.end());

  QStringList top = Texts(c.menu());
  QCOMPARE(top.mid(0, 5), (QStringList{"Find...", "--", "Lab", "Solo", "--"}));
  QVERIFY(top.contains("Open configuration") && top.contains("Run last connection") &&
          top.contains("Start Corvane") && top.contains("Start last executed macro") &&
          top.contains("Run history") && top.last() == "Exit");
  QMenu* lab = Find(c.menu(), "Lab")->menu();
  QVERIFY(lab);
  QVERIFY(lab->actions().isEmpty());  // filled when opened
  Open(Find(c.menu(), "Lab"));
  QCOMPARE(Texts(lab), (QStringList{"Lab", "--", "Router", "--", "Switch && Co"}));
}

void CompanionTrayTest::aClickRunsTheBranchAndSelectsTheConnectionForTheEditor() {
  Fixture f;
  f.writeTree();
  f.settings->write({setting::VarName.value("Ann")});
  tray::Companion& c = f.start();
  QMenu* lab = Open(Find(c.menu(), "Lab"));
  Find(lab, "Router")->trigger();
  QCOMPARE(f.launches.size(), std::size_t{1});
  QCOMPARE(f.launches[0].program, f.programDir + "/corvmain");
  QCOMPARE(f.launches[0].args.at(0), "/F=" + f.programDir + "/Temp_CVL/~CViniC1.ini");
  const std::string macro = f.macroOf(f.launches[0]);
  QVERIFY2(macro.find("connect lab") < macro.find("sendln router"), macro.c_str());
  QCOMPARE(setting::SelectedNodeIndex.read(*f.settings), 2);
  QCOMPARE(c.history().records().back().path, std::string("Lab/Router"));
  QVERIFY(!c.history().records().back().scheduled);

  // The first item of a submenu runs the connection itself.
  Find(lab, "Lab")->trigger();
  QVERIFY(f.macroOf(f.launches.at(1)).find("sendln router") == std::string::npos);
  QCOMPARE(setting::SelectedNodeIndex.read(*f.settings), 1);
  // "Run last connection" runs "Lab" again; without "SelectLast" nothing is written.
  f.settings->write({setting::SelectLast.flagValue(false), setting::SelectedNodeIndex.value(4)});
  Find(c.menu(), "Run last connection")->trigger();
  QCOMPARE(f.launches.size(), std::size_t{3});
  QCOMPARE(f.launches[2].args.at(1), "/M=" + f.programDir + "/Temp_CVL/~macroC3.cvl");
  QCOMPARE(setting::SelectedNodeIndex.read(*f.settings), 4);

  // A failed run is in the history with its message and told as a notice.
  std::filesystem::remove(f.programDir + "/corvmain");
  Find(c.menu(), "Solo")->trigger();
  QCOMPARE(f.launches.size(), std::size_t{3});
  const run::RunRecord& failed = c.history().records().back();
  QVERIFY(!failed.started);
  QCOMPARE(failed.message,
           std::string("CORVMAIN not found. Please move varnokc into Corvane directory and restart it."));
  QCOMPARE(f.records.back(), std::string("notice: Solo: ") + failed.message);
  QVERIFY(test::ReadFile(f.dir.file("data/varnok-runs.log")).find("manual\tSolo\tfailed: CORVMAIN") !=
          std::string::npos);
}

void CompanionTrayTest::manyConnectionsAreSplitIntoSmallMenus() {
  Fixture f;
  ConnectionTree tree;
  for (int i = 0; i < 2000; ++i) test::Add(tree, tree.top(), "n" + std::to_string(i));
  QVERIFY(SaveConfiguration(tree, f.vnk));
  tray::Companion& c = f.start();
  QStringList top = Texts(c.menu());
  const int groups = static_cast<int>(top.indexOf("--", 2)) - 2;  // after "Find..." and its separator
  QVERIFY2(groups > 1 && groups <= tray::TrayMenu::kPerMenu, qPrintable(top.join(",")));
  // 2000 = 1600 + 400: groups of 40 x 40, then groups of 40.
  QCOMPARE(top.mid(2, 2),
           (QStringList{QStringLiteral("n0 \u2026 n1599"), QStringLiteral("n1600 \u2026 n1999")}));
  QMenu* outer = Open(c.menu()->actions().at(2));
  QCOMPARE(outer->actions().size(), tray::TrayMenu::kPerMenu);
  QCOMPARE(outer->actions().first()->text(), QStringLiteral("n0 \u2026 n39"));
  QMenu* first = Open(outer->actions().first());
  QCOMPARE(first->actions().size(), tray::TrayMenu::kPerMenu);
  QCOMPARE(first->actions().last()->text(), QStringLiteral("n39"));
  first->actions().last()->trigger();
  QCOMPARE(c.history().records().back().path, std::string("n39"));
}

void CompanionTrayTest::damagedFileKeepsTheLastGoodMenuAndIsReportedOnce() {
  Fixture f;
  f.writeTree();
  tray::Companion& c = f.start();
  QCOMPARE(f.notices(), 0);
  test::WriteFile(f.vnk, "VNK20 damaged");
  c.reload();
  c.reload();
  QCOMPARE(f.notices(), 1);
  QVERIFY2(f.records.back().find("The menu keeps the connections read before.") != std::string::npos,
           f.records.back().c_str());
  QVERIFY(Find(c.menu(), "Lab"));
  // A missing file is another problem: told once as well.
  std::filesystem::remove(f.vnk);
  c.reload();
  QCOMPARE(f.notices(), 2);
  QVERIFY(Find(c.menu(), "Lab"));
  // Saved again by the editor: the watch on the folder reloads it.
  ConnectionTree tree;
  test::Add(tree, tree.top(), "Fresh");
  QVERIFY(SaveConfiguration(tree, f.vnk));
  QTRY_VERIFY_WITH_TIMEOUT(Find(c.menu(), "Fresh") != nullptr, 5000);
  QVERIFY(!Find(c.menu(), "Lab"));
}

void CompanionTrayTest::schedulesRunOnTimeOneAfterAnotherAndMissedRunsAreListedOnce() {
  Fixture f;
  f.writeTree("=0 9 * * *", "=0 9,10 * * *");
  tray::Companion& c = f.start();
  c.checkSchedules();
  QVERIFY(f.launches.empty());
  f.clock.t = At(2026, 5, 4, 9, 0, 1);
  c.checkSchedules();
  // Tree order: Lab/Router first, at once; Solo after the interval.
  QCOMPARE(f.launches.size(), std::size_t{1});
  QVERIFY(f.macroOf(f.launches[0]).find("sendln router") != std::string::npos);
  QTRY_COMPARE_WITH_TIMEOUT(f.launches.size(), std::size_t{2}, 2000);
  QVERIFY(f.macroOf(f.launches[1]).find("connect solo") != std::string::npos);
  QVERIFY(c.history().records().back().scheduled);
  QCOMPARE(c.history().records().back().path, std::string("Solo"));

  // Asleep until 11:30: 10 o'clock is missed, told once, not run.
  f.clock.t = At(2026, 5, 4, 11, 30);
  c.checkSchedules();
  c.checkSchedules();
  QCOMPARE(f.launches.size(), std::size_t{2});
  QCOMPARE(f.notices(), 1);
  QCOMPARE(f.records.back(),
           std::string("notice: Not run while the computer was asleep or its clock was changed: "
                       "2026-05-04 10:00 Lab/Router"));
}

void CompanionTrayTest::doubleClickActionsAndTheHistoryWindow() {
  Fixture f;
  f.writeTree();
  tray::Companion& c = f.start();
  f.settings->write({setting::DblClickAction.value(2)});
  c.doubleClickAction();
  QCOMPARE(f.records.back(), std::string("notice: No macro has been run since Varnok started."));
  f.settings->write({setting::DblClickAction.value(1)});
  c.doubleClickAction();
  QCOMPARE(f.launches.back().program, f.programDir + "/corvmain");
  QVERIFY(f.launches.back().args.empty());
  Find(c.menu(), "Solo")->trigger();
  f.settings->write({setting::DblClickAction.value(2)});
  c.doubleClickAction();
  QCOMPARE(f.launches.back().args, f.launches[1].args);
  // The editor is not in this program directory.
  f.settings->write({setting::DblClickAction.value(0)});
  c.doubleClickAction();
  QCOMPARE(f.records.back(), "notice: File '" + f.programDir + "/varnokc' not found.");

  Find(c.menu(), "Run history")->trigger();
  QVERIFY(c.historyWindow());
  QTreeWidget* list = c.historyWindow()->list();
  QCOMPARE(list->topLevelItemCount(), 1);
  QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("Solo"));
  QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("menu"));
  Find(c.menu(), "Solo")->trigger();
  QCOMPARE(list->topLevelItemCount(), 2);
  c.historyWindow()->close();
}

void CompanionTrayTest::clockSetBackGoesOnFromTheNewTimeAndTheHistorySaysSo() {
  Fixture f;
  f.writeTree("=0,30 * * * *");
  tray::Companion& c = f.start();
  f.clock.t = At(2026, 5, 4, 9, 0, 1);
  c.checkSchedules();
  f.clock.t = At(2026, 5, 4, 9, 30, 1);
  c.checkSchedules();
  QCOMPARE(f.launches.size(), std::size_t{2});

  // Set back to 8:20: 8:30 never ran here and runs on time; 9:00 and 9:30 did, and do not run again.
  f.clock.t = At(2026, 5, 4, 8, 20);
  c.checkSchedules();
  const std::string told =
      "The clock went back from 2026-05-04 09:30 to 2026-05-04 08:20; schedules go on from the new "
      "time, and minutes already run are not run again.";
  QCOMPARE(f.records.back(), "notice: " + told);
  const run::RunRecord& note = c.history().records().back();
  QVERIFY(note.note);
  QCOMPARE(note.message, told);
  QVERIFY(test::ReadFile(f.dir.file("data/varnok-runs.log")).find("\tnote\t\tThe clock went back from") !=
          std::string::npos);
  f.clock.t = At(2026, 5, 4, 8, 30, 1);
  c.checkSchedules();
  QCOMPARE(f.launches.size(), std::size_t{3});
  for (int minute : {0, 30}) {
    f.clock.t = At(2026, 5, 4, 9, minute, 1);
    c.checkSchedules();
  }
  QCOMPARE(f.launches.size(), std::size_t{3});
  f.clock.t = At(2026, 5, 4, 10, 0, 1);
  c.checkSchedules();
  QCOMPARE(f.launches.size(), std::size_t{4});
  QCOMPARE(f.notices(), 1);

  // The history window shows the note as it is.
  c.showHistory();
  QTreeWidget* list = c.historyWindow()->list();
  QCOMPARE(list->topLevelItem(2)->text(3), QString::fromStdString(told));  // newest first
  QCOMPARE(list->topLevelItem(2)->text(1), QString());
  c.historyWindow()->close();
}

void CompanionTrayTest::runsThatCannotStartWithinTheirMinuteAreDropped() {
  Fixture f;
  constexpr std::size_t kConnections = 200;
  ConnectionTree tree;
  for (std::size_t i = 0; i < kConnections; ++i) {
    TreeNode* n = test::Add(tree, tree.top(), "n" + std::to_string(i));
    rVTNodeData d = n->data();
    d.Macro = EncodeText("connect");
    d.Schedule = "=0,1 9 * * *";
    tree.setData(n, d);
  }
  QVERIFY(SaveConfiguration(tree, f.vnk));
  auto dropped = [&] {
    std::size_t sum = 0;
    for (const auto& r : f.records)
      if (r.rfind("notice: ", 0) == 0 && r.find(" not started: ") != std::string::npos)
        sum += std::stoul(r.substr(8));
    return sum;
  };
  // A start every 2 s of the clock is 20 ms here: the queue drains slowly.
  tray::Companion& c = f.start(100);
  f.clock.t = At(2026, 5, 4, 9, 0, 1);
  c.checkSchedules();
  QTRY_VERIFY_WITH_TIMEOUT(f.launches.size() >= 5, 5000);
  // 9:01: the runs of 9:00 that have not started give way to those of 9:01.
  f.clock.t = At(2026, 5, 4, 9, 1, 0);
  c.checkSchedules();
  const std::size_t startedAt900 = f.launches.size();
  QVERIFY(startedAt900 < kConnections);
  QCOMPARE(dropped(), kConnections - startedAt900);
  QCOMPARE(f.records.back(), "notice: " + std::to_string(kConnections - startedAt900) +
                                 " scheduled runs of 2026-05-04 09:00 not started: at one start every 2 s, "
                                 "the minute's runs did not all start within a minute.");
  QVERIFY(c.history().records().back().note);
  QTRY_VERIFY_WITH_TIMEOUT(f.launches.size() >= startedAt900 + 5, 5000);
  // A minute late, the rest of 9:01 is dropped too, though no other minute is due.
  f.clock.t = At(2026, 5, 4, 9, 2, 0);
  QTRY_COMPARE_WITH_TIMEOUT(f.launches.size() + dropped(), 2 * kConnections, 5000);
  const std::size_t started = f.launches.size();
  QTest::qWait(100);
  QCOMPARE(f.launches.size(), started);
  QVERIFY(c.history().records().back().note);
}

void CompanionTrayTest::reloadRequestsComingTogetherAreOneReload() {
  Fixture f;
  f.writeTree();
  tray::Companion& c = f.start();
  auto loads = [&] {
    return std::count_if(f.records.begin(), f.records.end(),
                         [](const std::string& r) { return r.rfind("loaded ", 0) == 0; });
  };
  auto kept = [&] {
    return std::count(f.records.begin(), f.records.end(), "kept 5 connections: the file is unchanged");
  };
  QCOMPARE(loads(), 1);
  for (int i = 0; i < 200; ++i) c.requestReload();
  QTRY_COMPARE(kept(), 1);  // the file did not change: it is not read again
  QTest::qWait(50);
  QCOMPARE(kept(), 1);
  QCOMPARE(loads(), 1);
  f.writeTree();  // the same connections, but another version of the file
  c.requestReload();
  QTRY_COMPARE(loads(), 2);
  // A request during a reload is served by one more.
  connect(&c, &tray::Companion::notified, &c, [&] { c.requestReload(); });
  test::WriteFile(f.vnk, "VNK20 damaged");
  c.requestReload();
  QTRY_COMPARE(f.notices(), 1);
  QTest::qWait(50);
  QCOMPARE(f.notices(), 1);  // the second reload met the same trouble, said once
}

// A connection without a macro of its own is offered and run (its branch
// plays its parent's macro); the history says whose macros ran.
void CompanionTrayTest::historySaysWhoseMacrosRan() {
  Fixture f;
  ConnectionTree tree;
  TreeNode* lab = test::Add(tree, tree.top(), "Lab");
  rVTNodeData d = lab->data();
  d.Macro = EncodeText("connect lab");
  tree.setData(lab, d);
  test::Add(tree, lab, "Spare");
  test::Add(tree, tree.top(), "Empty");
  QVERIFY(SaveConfiguration(tree, f.vnk));
  tray::Companion& c = f.start();
  QMenu* labMenu = Open(Find(c.menu(), "Lab"));
  Find(labMenu, "Spare")->trigger();
  QCOMPARE(f.launches.size(), std::size_t{1});
  QCOMPARE(f.macroOf(f.launches[0]).substr(0, 13), std::string("connect lab\r\n"));
  QCOMPARE(c.history().records().back().ran, std::optional<std::string>("Lab"));
  QCOMPARE(f.records.back(), std::string("run manual Lab/Spare: started: ran only Lab"));
  Find(c.menu(), "Empty")->trigger();
  QCOMPARE(f.records.back(), std::string("run manual Empty: started with an empty macro"));
  Find(labMenu, "Lab")->trigger();
  QCOMPARE(f.records.back(), std::string("run manual Lab: started"));
  const std::string log = test::ReadFile(f.dir.file("data/varnok-runs.log"));
  QVERIFY2(log.find("\tmanual\tLab/Spare\tstarted: ran only Lab\n") != std::string::npos, log.c_str());

  Find(c.menu(), "Run history")->trigger();
  QTreeWidget* list = c.historyWindow()->list();
  QCOMPARE(list->topLevelItemCount(), 3);
  QCOMPARE(list->topLevelItem(1)->text(3), QStringLiteral("started with an empty macro"));
  QCOMPARE(list->topLevelItem(2)->text(3), QStringLiteral("started: ran only Lab"));
  c.historyWindow()->close();
}

void CompanionTrayTest::deepChainMenuStopsAtItsDepthAndTheDeepestRunsOnSchedule() {
  Fixture f;
  constexpr int depth = 30'000;
  {
    ConnectionTree tree;
    test::AppendChain(tree, depth, "=0 9 * * *");
    QVERIFY(SaveConfiguration(tree, f.vnk));
  }
  tray::Companion& c = f.start();
  QMenu* menu = c.menu();
  QAction* item = Find(menu, "n1");
  for (int level = 1; level <= tray::TrayMenu::kMaxMenuDepth; ++level) {
    QVERIFY2(item && item->menu(), qPrintable(QString::number(level)));
    menu = Open(item);
    item = Find(menu, QStringLiteral("n%1").arg(level + 1));
  }
  // The deepest submenu: the connection itself and the note, no deeper submenu.
  const int edge = tray::TrayMenu::kMaxMenuDepth;
  QCOMPARE(Texts(menu),
           (QStringList{QStringLiteral("n%1").arg(edge), "--",
                        QStringLiteral("\u2026 deeper levels not shown: %1").arg(depth - edge)}));
  QVERIFY(!menu->actions().last()->isEnabled());
  menu->actions().first()->trigger();
  QCOMPARE(f.launches.size(), std::size_t{1});
  QCOMPARE(setting::SelectedNodeIndex.read(*f.settings), edge);
  QVERIFY(f.macroOf(f.launches[0]).ends_with("sendln " + std::to_string(edge) + "\r\n"));

  // At 9:00 the deepest connection runs with all its ancestors.
  c.checkSchedules();
  f.clock.t = At(2026, 5, 4, 9, 0, 1);
  c.checkSchedules();
  QCOMPARE(f.launches.size(), std::size_t{2});
  const std::string macro = f.macroOf(f.launches[1]);
  QVERIFY(macro.starts_with("sendln 1\r\n"));
  QVERIFY(macro.ends_with("sendln " + std::to_string(depth) + "\r\n"));
  QVERIFY(c.history().records().back().scheduled);
}

QTEST_MAIN(CompanionTrayTest)
#include "companion_tray_test.moc"
