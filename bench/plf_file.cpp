// Export to and import from the .PLF text format for trees of 1,000 to
// 100,000 connections (branches of depth up to 4, realistic macros of a few
// hundred bytes), so that the cost per connection can be seen to stay flat.
// Runs in memory (ProducePlfText / ReadPlf), and the import also from the
// file on disk (LoadPlfFile), where reading the file is part of the cost.
#include "files/plf_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "common/stored_text.h"
#include "generated_tree.h"

namespace {

using namespace varnok;

const FixedClock kClock({2026, 12, 8, 9, 5, 7, 42});

void Grow(ConnectionTree& tree, int count) {
  const std::string macro = EncodeText(
      "connect '$CONNECTION$:22 /ssh /auth=password /user=admin'\r\nwait 'Password:'\r\nsendln 'secret'\r\n"
      "wait '#'\r\nsendln 'terminal length 0'\r\nwait '#'\r\nsendln 'show version'\r\n");
  TreeNode* chain[5] = {tree.top()};
  for (int i = 0; i < count; ++i) {
    const int depth = 1 + i % 4;
    rVTNodeData d;
    d.Name = "router-" + std::to_string(i);
    d.Macro = macro;
    d.Schedule = i % 7 == 0 ? "=0 8 * * 1,2,3,4,5" : "";
    d.LastUpdated = "Tuesday, 08-Dec-2026 09:05:07";
    d.Colors = "0:0:0:192:192:192:255:255:255:0:0:128:255:0:0:0:0:0";
    d.StartLogging = true;
    TreeNode* parent = chain[depth - 1];
    chain[depth] =
        tree.insert(parent, parent->childCount(), ConnectionTree::newNode(std::move(d), tree.memory()));
  }
}

// The text in the pieces a save writes, handed to a sink that keeps nothing.
void BM_WritePlf(benchmark::State& state) {
  ConnectionTree tree;
  Grow(tree, static_cast<int>(state.range(0)));
  std::int64_t bytes = 0;
  for (auto _ : state) {
    ProducePlfText(
        tree, "bench.plf", kPlfPiece,
        [&](std::string_view piece) {
          benchmark::DoNotOptimize(piece.data());
          bytes += static_cast<std::int64_t>(piece.size());
          return true;
        },
        {}, kClock);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(bytes);
}

// The tree of a round is closed outside the timing: what is timed is the import alone.
void CloseUntimed(benchmark::State& state, std::unique_ptr<ConnectionTree>& tree) {
  state.PauseTiming();
  tree.reset();
  state.ResumeTiming();
}

void BM_ReadPlf(benchmark::State& state) {
  ConnectionTree tree;
  Grow(tree, static_cast<int>(state.range(0)));
  std::string text;
  WritePlfText(tree, "bench.plf", text, {}, kClock);
  for (auto _ : state) {
    auto loaded = std::make_unique<ConnectionTree>();
    ReadPlf(*loaded, text, "/nonexistent/program-dir", -1, kClock);  // every row has its colours
    benchmark::DoNotOptimize(loaded->count());
    CloseUntimed(state, loaded);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The file of `count` generated connections in the temporary folder, written
// once per run and left there, so that the command-line tool can be timed on
// the same file ("varnok-bench-<count>.plf").
std::string BenchFile(int count) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("varnok-bench-" + std::to_string(count) + ".plf")).string();
  ConnectionTree tree;
  bench::GenerateTree(tree, count);
  if (!SavePlfFile(tree, path, {}, kClock)) {
    std::printf("cannot write %s\n", path.c_str());
    std::exit(1);
  }
  return path;
}

// Import from the file on disk into a fresh tree, as "Import" and "vnk convert" do.
void BM_LoadPlfFile(benchmark::State& state) {
  const std::string path = BenchFile(static_cast<int>(state.range(0)));
  const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
  for (auto _ : state) {
    auto loaded = std::make_unique<ConnectionTree>();
    LoadResult r = LoadPlfFile(*loaded, path, "/nonexistent/program-dir", -1, kClock);
    if (!r.ok() || loaded->count() != state.range(0) + 1) state.SkipWithError("the import failed");
    benchmark::DoNotOptimize(loaded->count());
    CloseUntimed(state, loaded);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * bytes);
}

// Export and import give back every record (the round trip the timings stand
// for); NodeType is no column of the format and is left out.
void CheckRoundTrip(int count) {
  ConnectionTree tree;
  bench::GenerateTree(tree, count);
  std::string text;
  if (!WritePlfText(tree, "bench.plf", text, {}, kClock)) {
    std::printf("round trip of %d connections: the export failed\n", count);
    std::exit(1);
  }
  ConnectionTree back;
  LoadResult r = ReadPlf(back, text, "/nonexistent/program-dir", -1, kClock);
  bool same = r.ok() && back.count() == tree.count();
  for (const TreeNode *a = tree.top(), *b = back.top(); same && a;
       a = ConnectionTree::next(a), b = ConnectionTree::next(b)) {
    rVTNodeData expected = a->data();
    expected.NodeType = b->data().NodeType;
    same = expected == b->data();
  }
  std::printf("round trip of %d connections through .PLF (%.1f MB): %s\n", count, text.size() / 1e6,
              same ? "every record identical but NodeType" : "RECORDS DIFFER");
  if (!same) std::exit(1);
}

BENCHMARK(BM_WritePlf)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPlf)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlfFile)->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  CheckRoundTrip(1'000);
  CheckRoundTrip(100'000);
  const int large = bench::Connections(0);
  if (large > 0) {
    // VARNOK_BENCH_CONNECTIONS=1000000: the same figures at that size, three
    // rounds each (the first may pay for memory the system has not handed out before).
    CheckRoundTrip(large);
    BENCHMARK(BM_WritePlf)->Arg(large)->Unit(benchmark::kMillisecond)->Iterations(3);
    BENCHMARK(BM_ReadPlf)->Arg(large)->Unit(benchmark::kMillisecond)->Iterations(3);
    BENCHMARK(BM_LoadPlfFile)->Arg(large)->Unit(benchmark::kMillisecond)->Iterations(3);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
