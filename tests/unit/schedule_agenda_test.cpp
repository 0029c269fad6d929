// The companion's timetable over a tree, and its run history.
#include "run/schedule_agenda.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <future>

#include "common/stored_text.h"
#include "run/node_request.h"
#include "run/run_history.h"
#include "scoped_env.h"
#include "temp_dir.h"
#include "tree_helpers.h"

namespace varnok::run {
namespace {

class Utc : public ::testing::Test {
 protected:
  void SetUp() override { tzset(); }
  void TearDown() override { tzset(); }
  test::ScopedEnv tz_{"TZ", "UTC"};
};

std::int64_t At(int y, int mo, int d, int h, int mi, int s = 0) {
  return *properties::FirstInstantOf({y, mo, d, h, mi}) + s;
}

TreeNode* Scheduled(ConnectionTree& tree, TreeNode* parent, const std::string& name,
                    const std::string& schedule) {
  TreeNode* n = test::Add(tree, parent, name);
  rVTNodeData d = n->data();
  d.Schedule = schedule;
  tree.setData(n, d);
  return n;
}

using ScheduleAgendaTest = Utc;

TEST_F(ScheduleAgendaTest, CollectsConnectionsWithSchedulesAndNamesTheDamagedOnes) {
  ConnectionTree tree;
  TreeNode* site = Scheduled(tree, tree.top(), "Site/A", "=0 9 * * *");
  Scheduled(tree, site, "Router", "=0 9 * * 1,2,3,4,5");
  Scheduled(tree, site, "Plain", "");
  Scheduled(tree, tree.top(), "----- separator line -----", "=0 9 * * *");
  Scheduled(tree, tree.top(), "Broken", "=0 9 * *");
  Scheduled(tree, tree.top(), "Never", "=0 9 30 2 *");
  ScheduleCollection c = CollectSchedules(tree);
  ASSERT_EQ(c.entries.size(), 2u);
  EXPECT_EQ(c.entries[0].path, "Site\\/A");
  EXPECT_EQ(c.entries[0].index, 1);
  EXPECT_EQ(c.entries[1].path, "Site\\/A/Router");
  EXPECT_EQ(c.entries[1].index, 2);
  ASSERT_EQ(c.problems.size(), 2u);
  EXPECT_EQ(c.problems[0].path, "Broken");
  EXPECT_EQ(c.problems[0].problem, "it has 4 fields instead of five");
  EXPECT_EQ(c.problems[1].path, "Never");
  EXPECT_EQ(c.problems[1].problem, "none of its days exists in its months");
}

TEST_F(ScheduleAgendaTest, RunsOfOneMinuteComeTogetherInTreeOrder) {
  ConnectionTree tree;
  Scheduled(tree, tree.top(), "a", "=0 9 * * *");
  Scheduled(tree, tree.top(), "b", "=30 8 * * *");
  Scheduled(tree, tree.top(), "c", "=0 9,10 * * *");
  auto entries = CollectSchedules(tree).entries;
  std::optional<DueRuns> d = NextDueRuns(entries, At(2026, 5, 4, 8, 30));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->at, At(2026, 5, 4, 9, 0));
  EXPECT_EQ(d->entries, (std::vector<std::size_t>{0, 2}));
  d = NextDueRuns(entries, d->at);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->at, At(2026, 5, 4, 10, 0));
  EXPECT_EQ(d->entries, (std::vector<std::size_t>{2}));
  EXPECT_FALSE(NextDueRuns({}, 0));
}

TEST_F(ScheduleAgendaTest, RunsOnTimeReportsMissedRunsOnceAndNeverReplays) {
  ConnectionTree tree;
  Scheduled(tree, tree.top(), "hourly", "=0 * * * *");
  ScheduleAgenda agenda(At(2026, 5, 4, 8, 59, 30));
  agenda.setEntries(CollectSchedules(tree).entries);

  AgendaStep step = agenda.advance(At(2026, 5, 4, 8, 59, 30));
  EXPECT_TRUE(step.due.empty());
  EXPECT_EQ(step.nextAt, At(2026, 5, 4, 9, 0));
  // The timer is a little late: still this minute.
  step = agenda.advance(At(2026, 5, 4, 9, 0, 2));
  ASSERT_EQ(step.due.size(), 1u);
  EXPECT_EQ(step.due[0].at, At(2026, 5, 4, 9, 0));
  EXPECT_TRUE(agenda.advance(At(2026, 5, 4, 9, 0, 40)).due.empty());

  // Asleep from 9:10 to 12:30: 10, 11 and 12 o'clock are missed, not run.
  step = agenda.advance(At(2026, 5, 4, 12, 30));
  EXPECT_TRUE(step.due.empty());
  ASSERT_EQ(step.missed.size(), 3u);
  EXPECT_EQ(step.missed[2].at, At(2026, 5, 4, 12, 0));
  EXPECT_FALSE(step.moreMissed);
  EXPECT_EQ(step.nextAt, At(2026, 5, 4, 13, 0));
  EXPECT_TRUE(agenda.advance(At(2026, 5, 4, 12, 31)).missed.empty());

  // The clock is set back an hour: 12 o'clock, missed while asleep, was
  // never run, so it runs when the clock shows it again.
  step = agenda.advance(At(2026, 5, 4, 11, 31));
  EXPECT_TRUE(step.due.empty() && step.missed.empty());
  EXPECT_EQ(step.nextAt, At(2026, 5, 4, 12, 0));
  EXPECT_EQ(agenda.advance(At(2026, 5, 4, 12, 0, 5)).due.size(), 1u);
  EXPECT_EQ(agenda.advance(At(2026, 5, 4, 13, 0, 1)).due.size(), 1u);

  // A week asleep lists a bounded number of minutes and says there were more.
  step = agenda.advance(At(2026, 5, 11, 13, 0, 1));
  EXPECT_EQ(step.missed.size(), static_cast<std::size_t>(ScheduleAgenda::kMissedListed));
  EXPECT_TRUE(step.moreMissed);
  ASSERT_EQ(step.due.size(), 1u);
  EXPECT_EQ(step.due[0].at, At(2026, 5, 11, 13, 0));

  // A clock set back by more than a day starts afresh.
  step = agenda.advance(At(2026, 5, 1, 8, 0, 0));
  EXPECT_EQ(step.nextAt, At(2026, 5, 1, 9, 0));
}

TEST_F(ScheduleAgendaTest, ClockSetBackGoesOnFromTheNewTimeWithoutRunningAMinuteTwice) {
  ConnectionTree tree;
  Scheduled(tree, tree.top(), "ten", "=0,10,20,30,40,50 * * * *");
  ScheduleAgenda agenda(At(2026, 5, 4, 9, 59, 30));
  agenda.setEntries(CollectSchedules(tree).entries);
  for (int m : {0, 10, 20}) ASSERT_EQ(agenda.advance(At(2026, 5, 4, 10, m, 1)).due.size(), 1u);

  // Set back to 9:35: 9:40 and 9:50 were never run here and run on time;
  // 10:00, 10:10 and 10:20 ran less than a day ago and do not run again.
  AgendaStep step = agenda.advance(At(2026, 5, 4, 9, 35));
  EXPECT_EQ(step.clockWentBackFrom, At(2026, 5, 4, 10, 20, 1));
  EXPECT_TRUE(step.due.empty() && step.missed.empty());
  EXPECT_EQ(step.nextAt, At(2026, 5, 4, 9, 40));
  EXPECT_EQ(agenda.advance(At(2026, 5, 4, 9, 40, 1)).due.size(), 1u);
  step = agenda.advance(At(2026, 5, 4, 9, 50, 1));
  EXPECT_FALSE(step.clockWentBackFrom);
  ASSERT_EQ(step.due.size(), 1u);
  EXPECT_EQ(step.nextAt, At(2026, 5, 4, 10, 30));
  step = agenda.advance(At(2026, 5, 4, 10, 0, 2));
  EXPECT_TRUE(step.due.empty() && step.missed.empty());
  EXPECT_EQ(agenda.advance(At(2026, 5, 4, 10, 30, 1)).due.size(), 1u);

  // A day later the same minutes run again.
  EXPECT_EQ(agenda.advance(At(2026, 5, 5, 10, 0, 1)).due.size(), 1u);
}

TEST_F(ScheduleAgendaTest, HistoryKeepsTheLastHundredRunsInItsLogFile) {
  test::TempDir dir;
  const std::string log = dir.file("data/Zelmora/varnok-runs.log");
  {
    RunHistory history(log);
    EXPECT_EQ(history.add({At(2026, 5, 4, 9, 0, 2), "Site\\/A/Router", true, true, "", std::nullopt}), "");
    EXPECT_EQ(history.add({At(2026, 5, 4, 9, 5), "Lab", false, false, "CORVMAIN not found.\rPlease move",
                           std::nullopt}),
              "");
  }
  EXPECT_EQ(test::ReadFile(log),
            "2026-05-04 09:00:02\tscheduled\tSite\\/A/Router\tstarted\n"
            "2026-05-04 09:05:00\tmanual\tLab\tfailed: CORVMAIN not found. Please move\n");
  // A note is no run, and reads back as one.
  RunRecord note{At(2026, 5, 4, 9, 6), "", false, false, "the clock went back\tan hour", std::nullopt, true};
  EXPECT_EQ(FormatRunRecord(note), "2026-05-04 09:06:00\tnote\t\tthe clock went back an hour");
  std::optional<RunRecord> back = ParseRunRecord(FormatRunRecord(note));
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->note);
  EXPECT_EQ(back->message, "the clock went back an hour");
  EXPECT_FALSE(ParseRunRecord("2026-05-04 09:06:00\tnote\tLab\tx"));
  test::WriteFile(log, test::ReadFile(log) + "garbage line\n");
  {
    RunHistory history(log);
    ASSERT_EQ(history.records().size(), 2u);
    EXPECT_EQ(history.records()[1].message, "CORVMAIN not found. Please move");
    EXPECT_FALSE(history.records()[1].scheduled);
    for (int i = 0; i < 250; ++i)
      history.add({At(2026, 5, 5, 0, 0, i), "n" + std::to_string(i), true, true, "", std::nullopt});
    ASSERT_EQ(history.records().size(), RunHistory::kKept);
    EXPECT_EQ(history.records().front().path, "n150");
  }
  RunHistory again(log);
  ASSERT_EQ(again.records().size(), RunHistory::kKept);
  EXPECT_EQ(again.records().back().path, "n249");
  EXPECT_EQ(again.records().front().path, "n150");
  // The file is cut back, not left to grow.
  std::size_t lines = 0;
  for (char c : test::ReadFile(log)) lines += c == '\n';
  EXPECT_LT(lines, 2 * RunHistory::kKept);

  // A log that cannot be written is named; the run is still remembered.
  std::filesystem::create_directories(dir.file("ro"));
  ::chmod(dir.file("ro").c_str(), 0500);
  RunHistory readOnly(dir.file("ro/runs.log"));
  std::string error = readOnly.add({0, "x", false, true, "", std::nullopt});
  ::chmod(dir.file("ro").c_str(), 0700);
  if (::geteuid() != 0) {
    EXPECT_EQ(error.rfind(dir.file("ro/runs.log") + ": ", 0), 0u) << error;
  }
  EXPECT_EQ(readOnly.records().size(), 1u);
}

TreeNode* WithMacro(ConnectionTree& tree, TreeNode* parent, const std::string& name,
                    const std::string& macro) {
  TreeNode* n = test::Add(tree, parent, name);
  rVTNodeData d = n->data();
  d.Macro = EncodeText(macro);
  tree.setData(n, d);
  return n;
}

// A branch run plays the macros of the connections that have one; the
// history names them when they are not the whole branch, and reads it back.
TEST_F(ScheduleAgendaTest, HistorySaysWhoseMacrosRanWhenNotTheWholeBranch) {
  ConnectionTree tree;
  TreeNode* site = WithMacro(tree, tree.top(), "Site/A", "connect site");
  TreeNode* lab = WithMacro(tree, site, "Lab", " \r\n\t\r\n");  // blank lines only
  TreeNode* router = WithMacro(tree, lab, "router1", "");
  TreeNode* sw = WithMacro(tree, lab, "switch", "sendln sw");
  TreeNode* bare = WithMacro(tree, WithMacro(tree, tree.top(), "Spare", ""), "box", "");
  EXPECT_EQ(MacroSourcePath(router), "Site\\/A");
  EXPECT_EQ(MacroSourcePath(sw), "Site\\/A/switch");
  EXPECT_EQ(MacroSourcePath(site), ConnectionPath(site));
  EXPECT_EQ(MacroSourcePath(bare), "");

  test::TempDir dir;
  const std::string log = dir.file("runs.log");
  {
    RunHistory history(log);
    history.add({At(2026, 5, 4, 9, 0), "Site\\/A/Lab/router1", false, true, "", "Site\\/A"});
    history.add({At(2026, 5, 4, 9, 1), "Spare/box", true, true, "", ""});
    history.add({At(2026, 5, 4, 9, 2), "Site\\/A", false, true, "", std::nullopt});
  }
  EXPECT_EQ(test::ReadFile(log),
            "2026-05-04 09:00:00\tmanual\tSite\\/A/Lab/router1\tstarted: ran only Site\\/A\n"
            "2026-05-04 09:01:00\tscheduled\tSpare/box\tstarted with an empty macro\n"
            "2026-05-04 09:02:00\tmanual\tSite\\/A\tstarted\n");
  RunHistory again(log);
  ASSERT_EQ(again.records().size(), 3u);
  EXPECT_EQ(again.records()[0].ran, std::optional<std::string>("Site\\/A"));
  EXPECT_EQ(again.records()[1].ran, std::optional<std::string>(""));
  EXPECT_EQ(again.records()[2].ran, std::nullopt);
  EXPECT_TRUE(again.records()[0].started && again.records()[1].started);
}

TEST(RunHistoryLog, FifoOrLinkInTheLogsPlaceIsRefusedWithoutWaitingOrWritingThrough) {
  test::TempDir dir;
  const std::string log = dir.file("runs.log");
  ASSERT_EQ(::mkfifo(log.c_str(), 0600), 0);
  RunHistory fifo(log);
  // Nobody reads the FIFO: an open that waits for a reader never returns.
  auto pending = std::async(std::launch::async, [&] {
    return fifo.add({0, "Lab", false, true, "", std::nullopt, false});
  });
  if (pending.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    const int reader = ::open(log.c_str(), O_RDONLY | O_NONBLOCK);  // lets the stuck writer go on
    pending.wait();
    ::close(reader);
    FAIL() << "the run log's FIFO blocked the companion";
  }
  EXPECT_EQ(pending.get(), log + ": is a FIFO, not a regular file");
  EXPECT_EQ(fifo.records().size(), 1u);

  // A link: neither an append nor the cut back writes into the linked file.
  std::filesystem::remove(log);
  test::WriteFile(log, "");
  RunHistory linked(log);
  for (int i = 0; i + 1 < static_cast<int>(2 * RunHistory::kKept); ++i)
    ASSERT_EQ(linked.add({i, "n", true, true, "", std::nullopt, false}),
              "");  // the next add cuts the file back
  test::WriteFile(dir.file("victim"), "precious");
  std::filesystem::remove(log);
  std::filesystem::create_symlink(dir.file("victim"), log);
  EXPECT_EQ(linked.add({0, "Lab", false, true, "", std::nullopt, false}),
            log + ": is a symbolic link, not a regular file; nothing was written");
  EXPECT_EQ(RunHistory(log).add({0, "Lab", false, true, "", std::nullopt, false}),
            log + ": is a symbolic link, not a regular file");
  EXPECT_EQ(test::ReadFile(dir.file("victim")), "precious");
}

}  // namespace
}  // namespace varnok::run
