#pragma once
// The scheduled connections of a tree and when they run: the companion's
// timetable and `vnk next`.
//
//   ScheduleCollection c = CollectSchedules(tree);
//   ScheduleAgenda agenda(clock.now());
//   agenda.setEntries(std::move(c.entries));
//   AgendaStep step = agenda.advance(clock.now());  // at every wake-up
//   run step.due (in tree order), tell about step.missed once,
//   sleep until *step.nextAt.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/connection_tree.h"
#include "properties/schedule_times.h"

namespace varnok::run {

struct ScheduledConnection {
  int index = 0;     // absolute index (top node 0) when collected
  std::string path;  // ConnectionPath of the node
  pages::ParsedSchedule schedule;
};

struct ScheduleProblem {
  int index = 0;
  std::string path;
  std::string problem;  // why it never runs
};

struct ScheduleCollection {
  std::vector<ScheduledConnection> entries;  // in tree order
  std::vector<ScheduleProblem> problems;     // damaged schedules, and those that never come round
};

// The names of a node from the child of the top node down, joined by "/"
// ("/" inside a name written "\/"), as vnk's NODE argument takes them.
std::string ConnectionPath(const TreeNode* node);
// One name as a part of such a path.
std::string PathPart(std::string_view name);

// The node that ConnectionPath names (the first of equal names); null when none.
const TreeNode* NodeAtPath(const ConnectionTree& tree, const std::string& path);

// Every connection (not the top node, not a separator) with a stored schedule.
ScheduleCollection CollectSchedules(const ConnectionTree& tree);

// The runs of one minute: its first instant and the entries due then, in
// tree order (positions in the entries given).
struct DueRuns {
  std::int64_t at = 0;
  pages::CalendarMinute minute;
  std::vector<std::size_t> entries;
};

// The first minute strictly after `after` at which some entry runs.
std::optional<DueRuns> NextDueRuns(const std::vector<ScheduledConnection>& entries, std::int64_t after);

struct AgendaStep {
  std::vector<DueRuns> due;     // to run now: minutes that began at most a minute ago
  std::vector<DueRuns> missed;  // began earlier (the machine slept, the clock jumped): not run
  bool moreMissed = false;      // more missed minutes than listed
  std::optional<std::int64_t> nextAt;
};

class ScheduleAgenda {
 public:
  // Minutes up to `start` count as handled: nothing before it runs.
  explicit ScheduleAgenda(std::int64_t start) : handled_(start) {}

  void setEntries(std::vector<ScheduledConnection> entries) { entries_ = std::move(entries); }
  const std::vector<ScheduledConnection>& entries() const { return entries_; }

  // Everything due in (last handled, now]. A minute is handled once: a clock
  // set back does not run the minutes it repeats again (unless it went back
  // more than a day: then the agenda starts afresh from `now`).
  AgendaStep advance(std::int64_t now);

  std::int64_t handledUntil() const { return handled_; }

  static constexpr int kMissedListed = 50;

 private:
  std::vector<ScheduledConnection> entries_;
  std::int64_t handled_;
};

}  // namespace varnok::run
