// The companion's menu, runs, reloads and schedules, driven in-process with a
// recording launcher and a clock the test sets.
#include "companion_fixture.h"

using namespace varnok;
using namespace companion_test;

class CompanionTrayTest : public QObject {
  Q_OBJECT
 private slots:
  void menuMirrorsTheTreeAndFillsSubmenusWhenOpened();
  void aClickRunsTheBranchAndSelectsTheConnectionForTheEditor();
  void manyConnectionsAreSplitIntoSmallMenus();
  void damagedFileKeepsTheLastGoodMenuAndIsReportedOnce();
  void schedulesRunOnTimeOneAfterAnotherAndMissedRunsAreListedOnce();
  void doubleClickActionsAndTheHistoryWindow();
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
  f.settings->write({platform::VarName.value("Ann")});
  tray::Companion& c = f.start();
  QMenu* lab = Open(Find(c.menu(), "Lab"));
  Find(lab, "Router")->trigger();
  QCOMPARE(f.launches.size(), std::size_t{1});
  QCOMPARE(f.launches[0].program, f.programDir + "/corvmain");
  QCOMPARE(f.launches[0].args.at(0), "/F=" + f.programDir + "/Temp_CVL/~CViniC1.ini");
  const std::string macro = f.macroOf(f.launches[0]);
  QVERIFY2(macro.find("connect lab") < macro.find("sendln router"), macro.c_str());
  QCOMPARE(platform::SelectedNodeIndex.read(*f.settings), 2);
  QCOMPARE(c.history().records().back().path, std::string("Lab/Router"));
  QVERIFY(!c.history().records().back().scheduled);

  // The first item of a submenu runs the connection itself.
  Find(lab, "Lab")->trigger();
  QVERIFY(f.macroOf(f.launches.at(1)).find("sendln router") == std::string::npos);
  QCOMPARE(platform::SelectedNodeIndex.read(*f.settings), 1);
  // "Run last connection" runs "Lab" again; without "SelectLast" nothing is written.
  f.settings->write({platform::SelectLast.flagValue(false), platform::SelectedNodeIndex.value(4)});
  Find(c.menu(), "Run last connection")->trigger();
  QCOMPARE(f.launches.size(), std::size_t{3});
  QCOMPARE(f.launches[2].args.at(1), "/M=" + f.programDir + "/Temp_CVL/~macroC3.cvl");
  QCOMPARE(platform::SelectedNodeIndex.read(*f.settings), 4);

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
  f.settings->write({platform::DblClickAction.value(2)});
  c.doubleClickAction();
  QCOMPARE(f.records.back(), std::string("notice: No macro has been run since Varnok started."));
  f.settings->write({platform::DblClickAction.value(1)});
  c.doubleClickAction();
  QCOMPARE(f.launches.back().program, f.programDir + "/corvmain");
  QVERIFY(f.launches.back().args.empty());
  Find(c.menu(), "Solo")->trigger();
  f.settings->write({platform::DblClickAction.value(2)});
  c.doubleClickAction();
  QCOMPARE(f.launches.back().args, f.launches[1].args);
  // The editor is not in this program directory.
  f.settings->write({platform::DblClickAction.value(0)});
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

QTEST_MAIN(CompanionTrayTest)
#include "companion_tray_test.moc"
