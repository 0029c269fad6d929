// The editor's memory on the largest tree changes: "Import connection ..." of
// a file of many siblings of one name (all of them renamed "Copy (n) of"),
// a Paste of them all, and rounds of Paste and Delete of a large branch (each delete kept by the
// tree history). Run one at a time. growth_MB is the peak resident size
// during the change less the size before it (the file's tree already open
// for Paste), to hold against bound_MB, twice the input plus 100 MB.
//   build/bench/bench_editor_memory_gui --benchmark_filter=Import
//   build/bench/bench_editor_memory_gui --benchmark_filter=PasteSame
//   build/bench/bench_editor_memory_gui --benchmark_filter=Rounds
// VARNOK_BENCH_CONNECTIONS sets the siblings imported (default 1,000,000) and
// the branch pasted (a tenth of it).
#include <QAction>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QTreeView>
#include <fstream>

#include "qt_bench_main.h"
#include "tree/tree_model.h"
#include "window_environment.h"

namespace {

using namespace varnok;
using namespace varnok::bench;

class OneFileDialogs : public app::FileDialogs {
 public:
  std::string path;
  std::optional<std::string> openFile(const app::FileDialogRequest&) override { return path; }
  std::optional<std::string> saveFile(const app::FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> chooseFolder(const app::FileDialogRequest&) override { return std::nullopt; }
};

// The peak resident size since the last ResetPeak (VmHWM), so that the
// generation of the input does not count.
double PeakMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double ResidentMegabytes() { return static_cast<double>(ResidentKilobytes()) / 1024.0; }

// A file of `siblings` top-level connections named "a", and one named
// "branch" with `children` children.
std::string WriteSiblings(const std::string& dir, const std::string& name, int siblings, int children) {
  ConnectionTree tree;
  SubtreeBuilder builder(tree.memory());
  for (int i = 0; i < siblings; ++i) {
    rVTNodeData d;
    d.Name = "a";
    builder.append(builder.root(), std::move(d));
  }
  if (children > 0) {
    rVTNodeData d;
    d.Name = "branch";
    TreeNode* branch = builder.append(builder.root(), std::move(d));
    for (int i = 0; i < children; ++i) {
      rVTNodeData c;
      c.Name = "n" + std::to_string(i);
      builder.append(branch, std::move(c));
    }
  }
  tree.insertRange(tree.top(), 0, builder.finish());
  const std::string path = dir + "/" + name;
  SaveConfiguration(tree, path);
  return path;
}

struct Session {
  std::string dir;
  std::unique_ptr<platform::SettingsStore> settings;
  SilentPrompter prompter;
  OneFileDialogs dialogs;
  std::unique_ptr<app::MainWindow> window;

  explicit Session(const std::string& file) {
    dir = std::filesystem::path(file).parent_path().string();
    settings = platform::OpenSettingsFile(dir + "/Varnok.conf");
    prompter.yes = true;
    window = OpenWindowOn(*settings, file, dir, 0, prompter, dialogs);
    window->treeView().setFocus();
    Settle();
  }
  bool trigger(const char* name) const {
    window->refreshCommands();
    QAction* a = window->findChild<QAction*>(QString::fromLatin1(name));
    if (!a || !a->isEnabled()) return false;
    a->trigger();
    Settle();
    return true;
  }
};

std::string MakeDir() {
  const auto dir = std::filesystem::temp_directory_path() / ("varnok-memory-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir.string();
}

void BM_ImportSameNamedSiblings(benchmark::State& state) {
  const std::string dir = MakeDir();
  const int siblings = Connections(1000000);
  const std::string source = WriteSiblings(dir, "Siblings.vnk", siblings, 0);
  const std::string start = WriteSiblings(dir, "Start.vnk", 1, 0);
  Session s(start);
  s.dialogs.path = source;
  ResetPeak();
  const double before = ResidentMegabytes();
  double ms = 0;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    if (!s.trigger("MnImportConnection")) state.SkipWithError("Import connection was disabled");
    ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  }
  state.counters["imported"] = s.window->tree().count() - 2;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(source)) / (1 << 20);
  state.counters["rss_before_MB"] = before;
  state.counters["peak_MB"] = PeakMegabytes();
  state.counters["growth_MB"] = PeakMegabytes() - before;
  state.counters["bound_MB"] = 2 * state.counters["file_MB"] + 100;
  state.counters["import_ms"] = ms;
  s.window.reset();
  std::filesystem::remove_all(dir);
}

// Copy of every sibling, Paste: the siblings arrive again below the first one.
void BM_PasteSameNamedSiblings(benchmark::State& state) {
  const std::string dir = MakeDir();
  const std::string file = WriteSiblings(dir, "Siblings.vnk", Connections(1000000), 0);
  Session s(file);
  ConnectionTree& tree = s.window->tree();
  TreeNode* top = tree.top();
  s.window->selectNode(top->child(0));
  const QItemSelection all(s.window->treeModel().indexOf(top->child(0)),
                           s.window->treeModel().indexOf(top->lastChild()));
  s.window->treeView().selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
  if (!s.trigger("MnCopy")) state.SkipWithError("Copy was disabled");
  s.window->selectNode(top->child(0));
  // The clipboard holds the nodes in the file's layout: as many bytes as the file.
  const double clipboard_MB = static_cast<double>(std::filesystem::file_size(file)) / (1 << 20);
  ResetPeak();
  const double before = ResidentMegabytes();
  double ms = 0;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    if (!s.trigger("MnPaste")) state.SkipWithError("Paste was disabled");
    ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  }
  state.counters["pasted"] = tree.top()->child(0)->childCount();
  state.counters["rss_before_MB"] = before;
  state.counters["peak_MB"] = PeakMegabytes();
  state.counters["growth_MB"] = PeakMegabytes() - before;
  state.counters["bound_MB"] = 2 * clipboard_MB + 100;
  state.counters["paste_ms"] = ms;
  s.window.reset();
  std::filesystem::remove_all(dir);
}

void BM_RoundsOfPasteAndDelete(benchmark::State& state) {
  const std::string dir = MakeDir();
  const int children = Connections(1000000) / 10;
  Session s(WriteSiblings(dir, "Branch.vnk", 0, children));
  ConnectionTree& tree = s.window->tree();
  TreeNode* branch = tree.top()->child(0);
  s.window->selectNode(branch);
  s.trigger("MnCopy");
  ResetPeak();
  const double before = ResidentMegabytes();
  int rounds = 0;
  for (auto _ : state) {
    for (int round = 0; round < 30; ++round, ++rounds) {
      s.window->selectNode(branch);
      if (!s.trigger("MnPaste")) state.SkipWithError("Paste was disabled");
      s.window->selectNode(tree.top()->child(0) == branch ? branch->child(0) : tree.top()->child(0));
      if (!s.trigger("MnDelete")) state.SkipWithError("Delete was disabled");
    }
  }
  state.counters["rounds"] = rounds;
  state.counters["branch_nodes"] = branch->subtreeSize();
  state.counters["history_steps"] = static_cast<double>(s.window->document().history().undoCount());
  state.counters["rss_before_MB"] = before;
  state.counters["rss_after_MB"] = ResidentMegabytes();
  state.counters["peak_MB"] = PeakMegabytes();
  s.window.reset();
  std::filesystem::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_ImportSameNamedSiblings)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_PasteSameNamedSiblings)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_RoundsOfPasteAndDelete)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

int main(int argc, char** argv) { return varnok::bench::RunQtBenchmarks(argc, argv); }
