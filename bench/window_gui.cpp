// The window with a 100,000-connection configuration: opening it until the
// tree is shown, expanding and collapsing everything, moving the focus to
// another connection (pages loaded), and the memory of the whole process.
//   build/bench/bench_window_gui            (offscreen unless a display is set)
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTreeView>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "files/vnk_file.h"
#include "generated_tree.h"
#include "main_window.h"
#include "platform/memory_tuning.h"
#include "platform/posix/settings_file.h"
#include "prompts.h"
#include "tree_model.h"

namespace {

using namespace varnok;

constexpr int kConnections = 100000;

class SilentPrompter : public app::Prompter {
 public:
  app::PromptAnswer ask(app::PromptKind, app::PromptButtons buttons, const std::string&) override {
    return buttons == app::PromptButtons::OK ? app::PromptAnswer::OK : app::PromptAnswer::No;
  }
};

class NoDialogs : public app::FileDialogs {
 public:
  std::optional<std::string> openFile(const app::FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const app::FileDialogRequest&) override { return std::nullopt; }
};

struct Environment {
  std::string dir;
  std::string file;
  std::uintmax_t fileSize = 0;
  std::unique_ptr<platform::SettingsStore> settings;
  SilentPrompter prompter;
  NoDialogs dialogs;

  Environment() {
    dir = (std::filesystem::temp_directory_path() / ("varnok-bench-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(dir);
    file = dir + "/Large.vnk";
    ConnectionTree tree;
    bench::GenerateTree(tree, kConnections);
    SaveConfiguration(tree, file);
    fileSize = std::filesystem::file_size(file);
    settings = platform::OpenSettingsFile(dir + "/Varnok.conf");
  }
  ~Environment() { std::filesystem::remove_all(dir); }

  std::unique_ptr<app::MainWindow> openWindow() {
    settings->write({{"LastVNKFile", file}, {"SelectedNodeIndex", 0}});
    app::WindowServices services;
    services.settings = settings.get();
    services.dialogs = &dialogs;
    services.hasCommandLineParameter = false;
    services.programDir = dir;
    auto window = std::make_unique<app::MainWindow>(prompter, nullptr, services);
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());
    QCoreApplication::processEvents();
    return window;
  }
};

Environment& Env() {
  static Environment env;
  return env;
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

void Settle() {
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

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
    if (doExpand) {
      window->treeView().collapseAll();
    } else {
      window->treeView().expandAll();
    }
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
    window->RefreshCommands();  // what the 150 ms refresh runs: the pages load
    Settle();
    toA = !toA;
  }
}

}  // namespace

BENCHMARK(BM_OpenToShownTree)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ExpandAllThenCollapseAll)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_FocusToAnotherConnection)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

int main(int argc, char** argv) {
  varnok::platform::UseHugePageHeap(argv);
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
