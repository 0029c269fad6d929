// The find filter's matching on a large tree (100,000 connections, or
// VARNOK_BENCH_CONNECTIONS): one keystroke's whole search for queries that
// match everything, some, or a few connections, and for the field words that
// decode every macro. The counters give the matches and the result's memory
// per stored byte of the configuration, the index included.
#include <benchmark/benchmark.h>

#include "files/vnk_file.h"
#include "generated_tree.h"
#include "model/tree_search.h"

namespace {

using namespace varnok;

ConnectionTree& BigTree() {
  static ConnectionTree* tree = [] {
    auto* t = new ConnectionTree;
    bench::GenerateTree(*t, bench::Connections(100000));
    return t;
  }();
  return *tree;
}

double FileBytes() {
  static const double bytes = [] {
    std::size_t total = 0;
    ProduceConfiguration(BigTree(), {}, 1 << 20, [&](std::string_view piece) {
      total += piece.size();
      return true;
    });
    return static_cast<double>(total);
  }();
  return bytes;
}

// The index as the editor keeps it between keystrokes.
const std::shared_ptr<const FindIndex>& Index() {
  static const std::shared_ptr<const FindIndex> index = std::make_shared<const FindIndex>(BigTree());
  return index;
}

void Search(benchmark::State& state, const char* text) {
  const FindQuery query = ParseFindQuery(text);
  FindResult r;
  for (auto _ : state) {
    TreeSearch search(Index(), query);
    while (!search.step(1 << 20)) {
    }
    r = search.takeResult();
    benchmark::DoNotOptimize(r.shown.data());
  }
  state.counters["matches"] = r.matchCount;
  state.counters["shown"] = r.size();
  state.counters["memory/file"] = static_cast<double>(r.bytes() + Index()->bytes()) / FileBytes();
}

// Building the index: once per change of the tree's structure or names.
void BM_FindIndexBuild(benchmark::State& state) {
  ConnectionTree& tree = BigTree();
  for (auto _ : state) benchmark::DoNotOptimize(FindIndex(tree).entries().data());
  state.counters["index/file"] = static_cast<double>(Index()->bytes()) / FileBytes();
}
BENCHMARK(BM_FindIndexBuild)->Unit(benchmark::kMillisecond);

// Typing "h", "hx", "hx7" ... : from nearly every connection to a few.
void BM_FindKeystroke(benchmark::State& state) {
  static const char* const typed[] = {"h", "hx", "hxq", "hxq7", "lab rtr"};
  Search(state, typed[state.range(0)]);
}
BENCHMARK(BM_FindKeystroke)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_FindField(benchmark::State& state) {
  static const char* const typed[] = {"host:hxq", "user:root", "macro:\"cd /var/log\" -popup:\"rack 1\""};
  Search(state, typed[state.range(0)]);
}
BENCHMARK(BM_FindField)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The floor: a pre-order walk that reads every name once, nothing matched.
void BM_PlainNameWalk(benchmark::State& state) {
  ConnectionTree& tree = BigTree();
  for (auto _ : state) {
    std::size_t bytes = 0;
    ConnectionTree::forEachPreOrder(tree.top(), [&](const TreeNode* n) {
      bytes += n->name().size() + static_cast<unsigned char>(n->name().empty() ? 0 : n->name()[0]);
    });
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_PlainNameWalk)->Unit(benchmark::kMillisecond);

// One slice of the search as the editor runs it between keystrokes.
void BM_FindSlice(benchmark::State& state) {
  const FindQuery query = ParseFindQuery("hxq");
  for (auto _ : state) {
    TreeSearch search(Index(), query);
    benchmark::DoNotOptimize(search.step(static_cast<int>(state.range(0))));
  }
}
BENCHMARK(BM_FindSlice)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
