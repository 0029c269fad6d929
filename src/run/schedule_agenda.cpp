#include "run/schedule_agenda.h"

#include <algorithm>

namespace varnok::run {
namespace {

constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kDay = 24 * 60 * 60;

}  // namespace

namespace {

void AppendPathPart(std::string& path, std::string_view name) {
  for (char c : name) {
    if (c == '/') path += '\\';
    path += c;
  }
}

}  // namespace

std::string PathPart(std::string_view name) {
  std::string part;
  AppendPathPart(part, name);
  return part;
}

std::string ConnectionPath(const TreeNode* node) {
  // The names from the node up, then the path built once from the top down.
  std::vector<std::string_view> names;
  std::size_t length = 0;
  for (const TreeNode* n = node; n && n->parent(); n = n->parent()) {
    names.push_back(n->name());
    length += n->name().size() + 1;
  }
  std::string path;
  path.reserve(length);
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    if (it != names.rbegin()) path += '/';
    AppendPathPart(path, *it);
  }
  return path;
}

const TreeNode* NodeAtPath(const ConnectionTree& tree, const std::string& path) {
  const TreeNode* node = tree.top();
  std::string name;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '/') {
      name += '/';
      ++i;
      continue;
    }
    if (i < path.size() && path[i] != '/') {
      name += path[i];
      continue;
    }
    const TreeNode* found = nullptr;
    for (const TreeNode* c = node->firstChild(); c && !found; c = c->nextSibling())
      if (std::string_view(c->name()) == name) found = c;
    if (!found) return nullptr;
    node = found;
    name.clear();
  }
  return node == tree.top() ? nullptr : node;
}

ScheduleCollection CollectSchedules(const ConnectionTree& tree) {
  ScheduleCollection result;
  int index = 0;
  for (const TreeNode* n = tree.top(); n; n = ConnectionTree::next(n), ++index) {
    if (!n->parent() || n->isSeparator() || n->data().Schedule.empty()) continue;
    std::string problem;
    std::optional<properties::ParsedSchedule> parsed =
        properties::ParseStoredSchedule(n->data().Schedule, &problem);
    if (parsed && !properties::CanEverMatch(*parsed)) problem = "none of its days exists in its months";
    if (!parsed || !problem.empty()) {
      result.problems.push_back({index, ConnectionPath(n), problem});
      continue;
    }
    result.entries.push_back({index, ConnectionPath(n), *parsed});
  }
  return result;
}

std::optional<DueRuns> NextDueRuns(const std::vector<ScheduledConnection>& entries, std::int64_t after) {
  if (entries.empty()) return std::nullopt;
  properties::CalendarMinute from = properties::FirstMinuteAfter(after);
  std::vector<std::optional<properties::CalendarMinute>> next(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i)
    next[i] = properties::NextMatchingMinute(entries[i].schedule, from);
  // Each round settles the earliest candidate minute or skips it when the
  // clock never shows it (the hour skipped by daylight-saving time).
  for (int round = 0; round < 24 * 60; ++round) {
    std::optional<properties::CalendarMinute> earliest;
    for (const auto& m : next)
      if (m && (!earliest || *m < *earliest)) earliest = m;
    if (!earliest) return std::nullopt;
    std::optional<std::int64_t> first = properties::FirstInstantOf(*earliest);
    if (first && *first > after) {
      DueRuns due{*first, *earliest, {}};
      for (std::size_t i = 0; i < next.size(); ++i)
        if (next[i] == earliest) due.entries.push_back(i);
      return due;
    }
    const properties::CalendarMinute skipTo = properties::MinuteAfter(*earliest);
    for (std::size_t i = 0; i < next.size(); ++i)
      if (next[i] == earliest) next[i] = properties::NextMatchingMinute(entries[i].schedule, skipTo);
  }
  return std::nullopt;
}

std::optional<DueRuns> ScheduleAgenda::nextNotRun(std::int64_t after) const {
  std::optional<DueRuns> d = NextDueRuns(entries_, after);
  // At most a day of minutes can have run: the loop ends.
  while (d && ran_.count(d->at)) d = NextDueRuns(entries_, d->at);
  return d;
}

AgendaStep ScheduleAgenda::advance(std::int64_t now) {
  AgendaStep step;
  if (now < handled_) {
    step.clockWentBackFrom = handled_;
    if (now < handled_ - kDay) ran_.clear();
    handled_ = now;
  }
  ran_.erase(ran_.begin(), ran_.lower_bound(now - kDay));
  std::int64_t cursor = handled_;
  while (true) {
    std::optional<DueRuns> d = nextNotRun(cursor);
    if (!d || d->at > now) break;
    cursor = d->at;
    if (now - d->at < kMinute) {
      ran_.insert(d->at);
      step.due.push_back(std::move(*d));
    } else if (step.missed.size() < kMissedListed) {
      step.missed.push_back(std::move(*d));
    } else {
      // The rest of a long sleep is not listed minute by minute.
      step.moreMissed = true;
      cursor = std::max(cursor, now - kMinute);
    }
  }
  handled_ = std::max(handled_, now);
  if (std::optional<DueRuns> d = nextNotRun(handled_)) step.nextAt = d->at;
  return step;
}

}  // namespace varnok::run
