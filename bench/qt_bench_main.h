#pragma once
// The main() of the benchmarks that need Qt widgets: offscreen unless a
// display is given, one QApplication around Google Benchmark's run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <functional>

namespace varnok::bench {

// `beforeShutdown` releases what the benchmarks kept (windows, documents)
// while the application still exists.
inline int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& beforeShutdown = {}) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  if (beforeShutdown) beforeShutdown();
  benchmark::Shutdown();
  return 0;
}

}  // namespace varnok::bench
