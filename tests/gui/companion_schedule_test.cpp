// The companion's timetable when the clock misbehaves or a minute is
// overfull, its reloads and its run history, driven in-process.
#include "companion_fixture.h"

using namespace varnok;
using namespace companion_test;

class CompanionScheduleTest : public QObject {
  Q_OBJECT
 private slots:
  void clockSetBackGoesOnFromTheNewTimeAndTheHistorySaysSo();
  void runsThatCannotStartWithinTheirMinuteAreDropped();
  void reloadRequestsComingTogetherAreOneReload();
  void historySaysWhoseMacrosRan();
  void deepChainMenuStopsAtItsDepthAndTheDeepestRunsOnSchedule();
};

void CompanionScheduleTest::clockSetBackGoesOnFromTheNewTimeAndTheHistorySaysSo() {
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

void CompanionScheduleTest::runsThatCannotStartWithinTheirMinuteAreDropped() {
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

void CompanionScheduleTest::reloadRequestsComingTogetherAreOneReload() {
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
void CompanionScheduleTest::historySaysWhoseMacrosRan() {
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

void CompanionScheduleTest::deepChainMenuStopsAtItsDepthAndTheDeepestRunsOnSchedule() {
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
  QCOMPARE(platform::SelectedNodeIndex.read(*f.settings), edge);
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

QTEST_MAIN(CompanionScheduleTest)
#include "companion_schedule_test.moc"
