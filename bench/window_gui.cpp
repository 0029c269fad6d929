// The window with a 100,000-connection configuration: opening it until the
// tree is shown, expanding and collapsing everything, moving the focus to
// another connection (pages loaded), a keystroke in the find filter (search,
// filtered tree shown and repainted), the first one from the open tree, and
// clearing it, and the memory of the whole process.
//   build/bench/bench_window_gui            (offscreen unless a display is set)
//   VARNOK_BENCH_CONNECTIONS=1000000 build/bench/bench_window_gui   (a million)
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "find/tree_filter.h"
#include "qt_bench_main.h"
#include "tree/tree_model.h"
#include "window_environment.h"

namespace {

using namespace varnok;
using namespace varnok::bench;

void BM_OpenToShownTree(benchmark::State& state) {
  Environment& env = Env();
  long rss = 0;
  for (auto _ : state) {
    auto window = env.openWindow();
    Settle();
    state.PauseTiming();
    if (window->tree().count() != kConnections + 1) state.SkipWithError("file not loaded");
    rss = ResidentKilobytes();
    window.reset();
    state.ResumeTiming();
  }
  const double fileMb = static_cast<double>(env.fileSize) / (1024.0 * 1024.0);
  state.counters["file_MB"] = fileMb;
  state.counters["rss_MB"] = static_cast<double>(rss) / 1024.0;
  state.counters["rss_limit_MB"] = 3 * fileMb + 100;
}

void BM_ExpandAllThenCollapseAll(benchmark::State& state) {
  Environment& env = Env();
  auto window = env.openWindow();
  QAction* expand = window->findChild<QAction*>(QStringLiteral("MnExpandAll"));
  QAction* collapse = window->findChild<QAction*>(QStringLiteral("MnCollapseAll"));
  const bool doExpand = state.range(0) == 1;
  for (auto _ : state) {
    state.PauseTiming();
    // The commands themselves put the tree in the state to start from.
    (doExpand ? collapse : expand)->trigger();
    Settle();
    state.ResumeTiming();
    (doExpand ? expand : collapse)->trigger();
    Settle();
    state.PauseTiming();
    const QModelIndex top = window->treeModel().indexOf(window->tree().top());
    const QModelIndex deep =
        window->treeModel().indexOf(ConnectionTree::next(window->tree().top()->child(0)));
    if (window->treeView().isExpanded(top) != doExpand ||
        (doExpand && !window->treeView().isExpanded(deep.parent())))
      state.SkipWithError("the command did not act");
    state.ResumeTiming();
  }
  state.SetLabel(doExpand ? "Expand all" : "Collapse all");
}

void BM_FocusToAnotherConnection(benchmark::State& state) {
  Environment& env = Env();
  auto window = env.openWindow();
  window->treeView().setFocus();
  TreeNode* a = window->tree().top()->child(0);
  TreeNode* b = window->tree().top()->child(window->tree().top()->childCount() - 1);
  bool toA = false;
  for (auto _ : state) {
    window->selectNode(toA ? a : b);
    window->refreshCommands();  // what the 150 ms refresh runs: the pages load
    Settle();
    toA = !toA;
  }
}

// A keystroke in the filter field, alternating between two queries that
// differ by one letter: arg 0 matches a few connections ("hxq", "hxq7"),
// arg 1 most of them ("h", "hx"). Timed up to the repainted tree.
void BM_FilterKeystroke(benchmark::State& state) {
  Environment& env = Env();
  auto window = env.openWindow();
  app::TreeFilter& filter = window->treeFilter();
  const bool many = state.range(0) == 1;
  const QString queries[2] = {many ? QStringLiteral("h") : QStringLiteral("hxq"),
                              many ? QStringLiteral("hx") : QStringLiteral("hxq7")};
  filter.focusField();
  int i = 0;
  for (auto _ : state) {
    filter.field().setText(queries[i++ % 2]);
    filter.finishSearch();
    Settle();
  }
  state.counters["shown"] = window->treeModel().filterResult().size();
  state.counters["matches"] = window->treeModel().filterResult().matchCount;
  state.SetLabel(many ? "most connections match" : "a few match");
}

// The first keystroke, with the whole tree open (the worst case): the view
// is saved for Esc and the open tree gives way to a few matches.
void BM_FilterFirstKeystroke(benchmark::State& state) {
  Environment& env = Env();
  auto window = env.openWindow();
  window->findChild<QAction*>(QStringLiteral("MnExpandAll"))->trigger();
  Settle();
  app::TreeFilter& filter = window->treeFilter();
  filter.focusField();
  for (auto _ : state) {
    filter.field().setText(QStringLiteral("hxq"));
    filter.finishSearch();
    Settle();
    state.PauseTiming();
    if (!window->treeModel().isFiltered()) state.SkipWithError("the filter was not set");
    filter.clear();
    filter.focusField();
    Settle();
    state.ResumeTiming();
  }
}

// Esc in the field: the whole tree back with its open branches (everything
// open, the worst case) and the selection.
void BM_FilterClear(benchmark::State& state) {
  Environment& env = Env();
  auto window = env.openWindow();
  window->findChild<QAction*>(QStringLiteral("MnExpandAll"))->trigger();
  Settle();
  app::TreeFilter& filter = window->treeFilter();
  for (auto _ : state) {
    state.PauseTiming();
    filter.focusField();
    filter.field().setText(QStringLiteral("hxq"));
    filter.finishSearch();
    Settle();
    state.ResumeTiming();
    filter.clear();
    Settle();
  }
  if (window->treeModel().isFiltered() || window->treeModel().rowCount(window->treeModel().index(0, 0)) == 0)
    state.SkipWithError("the filter was not cleared");
}

}  // namespace

BENCHMARK(BM_FilterKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_FilterFirstKeystroke)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_FilterClear)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_OpenToShownTree)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ExpandAllThenCollapseAll)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_FocusToAnotherConnection)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

int main(int argc, char** argv) { return varnok::bench::RunQtBenchmarks(argc, argv); }
