// The companion's timetable over 100,000 connections of which 10,000 carry a
// schedule: collecting the schedules after a load, and the next run over all
// of them (what the companion computes at every wake-up and reload).
#include <benchmark/benchmark.h>

#include <random>

#include "generated_tree.h"
#include "run/schedule_agenda.h"

namespace {

using namespace varnok;

// Every tenth connection keeps a schedule: 10,000 of 100,000, with fields
// drawn at random (a few minutes, hours, days, months and weekdays, or "*").
ConnectionTree& ScheduledTree() {
  static ConnectionTree* tree = [] {
    auto* t = new ConnectionTree;
    bench::GenerateTree(*t, 100000);
    std::mt19937 rng(7);
    auto field = [&](int min, int max, int values) {
      if (rng() % 3 == 0) return std::string("*");
      std::string text;
      int v = min + static_cast<int>(rng() % static_cast<unsigned>(max - min + 1));
      for (int i = 0; i < values && v <= max; ++i, v += 1 + static_cast<int>(rng() % 5))
        text += (text.empty() ? "" : ",") + std::to_string(v);
      return text;
    };
    int index = 0;
    for (TreeNode* n = ConnectionTree::next(t->top()); n; n = ConnectionTree::next(n), ++index) {
      rVTNodeData d = n->data();
      d.Schedule = index % 10 == 0 ? "=" + field(0, 59, 2) + " " + field(0, 23, 2) + " " + field(1, 28, 3) +
                                         " " + field(1, 12, 4) + " " + field(1, 7, 5)
                                   : "";
      t->setData(n, d);
    }
    return t;
  }();
  return *tree;
}

void BM_CollectSchedules(benchmark::State& state) {
  ConnectionTree& tree = ScheduledTree();
  for (auto _ : state) {
    run::ScheduleCollection c = run::CollectSchedules(tree);
    benchmark::DoNotOptimize(c.entries.data());
    state.counters["schedules"] = static_cast<double>(c.entries.size());
  }
  state.SetLabel("100,000 connections");
}
BENCHMARK(BM_CollectSchedules)->Unit(benchmark::kMillisecond);

void BM_NextRunOverAllSchedules(benchmark::State& state) {
  const auto entries = run::CollectSchedules(ScheduledTree()).entries;
  std::int64_t after = *properties::FirstInstantOf({2026, 5, 4, 8, 59});
  for (auto _ : state) {
    std::optional<run::DueRuns> d = run::NextDueRuns(entries, after);
    benchmark::DoNotOptimize(d);
    after = d ? d->at : after;  // walk forward as the companion does
  }
  state.SetLabel(std::to_string(entries.size()) + " schedules, local time zone");
}
BENCHMARK(BM_NextRunOverAllSchedules)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
