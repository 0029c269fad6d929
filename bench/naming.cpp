// Naming rules on large trees: NewConnectionName on 100,000 connections, and
// ResolveSiblingNames on one parent with 10,000 children of the same name.
// Each is printed with its ratio to a plain pass over the same names.
#include "model/naming.h"

#include <benchmark/benchmark.h>

#include <cstring>

#include "generated_tree.h"
#include "model/tree_operations.h"

namespace {

using namespace varnok;

ConnectionTree& BigTree() {
  static ConnectionTree* tree = [] {
    auto* t = new ConnectionTree;
    bench::GenerateTree(*t, bench::Connections(100000));  // 1000000 for the large target
    return t;
  }();
  return *tree;
}

void BM_NewConnectionName(benchmark::State& state) {
  ConnectionTree& tree = BigTree();
  for (auto _ : state) benchmark::DoNotOptimize(NewConnectionName(tree));
}

// The same walk and concatenation with one plain search, for the ratio.
void BM_PlainNameScan(benchmark::State& state) {
  ConnectionTree& tree = BigTree();
  for (auto _ : state) {
    std::string all;
    ConnectionTree::forEachPreOrder(tree.top(), [&](const TreeNode* n) { all += n->name(); });
    benchmark::DoNotOptimize(all.find("Unnamed connection #1"));
  }
}

void BM_ResolveSiblingNames(benchmark::State& state) {
  const int children = static_cast<int>(state.range(0));
  ConnectionTree tree;
  for (int i = 0; i < children; ++i)
    tree.insert(tree.top(), i, ConnectionTree::newNode({.Name = "core-router.site-a"}));
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < children; ++i) tree.setName(tree.top()->child(i), "core-router.site-a");
    state.ResumeTiming();
    int changed = ResolveSiblingNames(tree, tree.top());
    if (changed != children - 1) state.SkipWithError("wrong count");
  }
}

// A plain pass that builds every final name once, for the ratio.
void BM_PlainCopyNames(benchmark::State& state) {
  const int children = static_cast<int>(state.range(0));
  for (auto _ : state) {
    std::string list;
    for (int i = 1; i < children; ++i) list += "\nCopy (" + std::to_string(i) + ") of core-router.site-a";
    benchmark::DoNotOptimize(list.data());
  }
}

// Every sibling list of 100,000 connections checked, as the first move or
// copy below the top node after loading does.
void BM_ResolveWholeTree(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    ConnectionTree tree;
    bench::GenerateTree(tree, 100000);
    state.ResumeTiming();
    benchmark::DoNotOptimize(ResolveSiblingNames(tree, tree.top()));
  }
}

// Duplicate of a top-level connection once the lists are known to be unique:
// only the list that gained the copy is checked again.
void BM_DuplicateAfterResolve(benchmark::State& state) {
  ConnectionTree tree;
  bench::GenerateTree(tree, 100000);
  ResolveSiblingNames(tree, tree.top());
  TreeNode* node = tree.top()->child(0);
  for (auto _ : state) {
    AddResult r = Duplicate(tree, node);
    state.PauseTiming();
    tree.remove(r.added);
    state.ResumeTiming();
  }
  state.counters["siblings"] = tree.top()->childCount();
}

}  // namespace

BENCHMARK(BM_ResolveWholeTree)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DuplicateAfterResolve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainNameScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewConnectionName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopyNames)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResolveSiblingNames)->Arg(10000)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      std::string name = r.benchmark_name();
      double ms = r.GetAdjustedRealTime();
      if (name.find("Plain") != std::string::npos)
        plain_ = ms;
      else if (plain_ > 0)
        std::printf("  -> %.1f x the plain pass above\n", ms / plain_);
    }
  }

 private:
  double plain_ = 0;
};

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
