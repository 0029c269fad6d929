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
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "model/connection_tree.h"
#include "properties/schedule_times.h"

namespace varnok::run {

struct ScheduledConnection {
  int index = 0;     // absolute index (top node 0) when collected
  std::string path;  // ConnectionPath of the node
  properties::ParsedSchedule schedule;
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
  properties::CalendarMinute minute;
  std::vector<std::size_t> entries;
};

// The first minute strictly after `after` at which some entry runs.
std::optional<DueRuns> NextDueRuns(const std::vector<ScheduledConnection>& entries, std::int64_t after);

struct AgendaStep {
  std::vector<DueRuns> due;     // to run now: minutes that began at most a minute ago
  std::vector<DueRuns> missed;  // began earlier (the machine slept, the clock jumped): not run
  bool moreMissed = false;      // more missed minutes than listed
  std::optional<std::int64_t> nextAt;
  // Set when the clock went back since the last step: the time it had shown.
  std::optional<std::int64_t> clockWentBackFrom;
};

class ScheduleAgenda {
 public:
  // Minutes up to `start` count as handled: nothing before it runs.
  explicit ScheduleAgenda(std::int64_t start) : handled_(start) {}

  void setEntries(std::vector<ScheduledConnection> entries) { entries_ = std::move(entries); }
  const std::vector<ScheduledConnection>& entries() const { return entries_; }

  // Everything due in (last handled, now]. A clock set back goes on from its
  // new time at once, but a minute whose runs were started in the last day is
  // not run a second time when the clock shows it again (a minute that was
  // missed was never run, and may). Set back more than a day, the agenda
  // starts afresh.
  AgendaStep advance(std::int64_t now);

  std::int64_t handledUntil() const { return handled_; }

  static constexpr int kMissedListed = 50;

 private:
  std::optional<DueRuns> nextNotRun(std::int64_t after) const;

  std::vector<ScheduledConnection> entries_;
  std::int64_t handled_;
  std::set<std::int64_t> ran_;  // first instants of the minutes run in the last day
};

}  // namespace varnok::run
