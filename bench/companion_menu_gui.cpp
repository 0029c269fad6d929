// The companion on 100,000 connections: reading the file into the menu, and
// opening the tray menu and a chain of submenus down to the deepest level
// (each submenu is filled when it opens). Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_companion_menu_gui
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMenu>
#include <filesystem>

#include "companion.h"
#include "files/vnk_file.h"
#include "generated_tree.h"
#include "platform/posix/settings_file.h"
#include "platform/settings_names.h"
#include "qt_bench_main.h"

namespace {

using namespace varnok;

struct Setup {
  std::string folder = "/tmp/varnok-bench-companion-" + std::to_string(::getpid());
  std::string file = folder + "/net.vnk";
  std::unique_ptr<platform::SettingsStore> settings;
  std::unique_ptr<tray::Companion> companion;

  Setup() {
    std::filesystem::create_directories(folder);
    ConnectionTree tree;
    bench::GenerateTree(tree, 100000);
    SaveConfiguration(tree, file);
    settings = platform::OpenSettingsFile(folder + "/Varnok.conf");
    settings->write({setting::LastVNKFile.value(file)});
  }
  ~Setup() { std::filesystem::remove_all(folder); }
};

Setup& Shared() {
  static Setup* s = new Setup;
  return *s;
}

tray::CompanionOptions Options() {
  tray::CompanionOptions o;
  o.programDir = Shared().folder;
  o.useTray = false;
  return o;
}

void BM_StartOnFile(benchmark::State& state) {
  for (auto _ : state) {
    auto c = std::make_unique<tray::Companion>(Options(), *Shared().settings);
    benchmark::DoNotOptimize(c.get());
  }
  state.SetLabel("read 100,000 connections, build the menu, schedules");
}
BENCHMARK(BM_StartOnFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// Opens `menu` on screen and waits until it is shown, then closes it.
void OpenAndClose(QMenu* menu) {
  emit menu->aboutToShow();
  menu->popup(QPoint(0, 0));
  QApplication::processEvents();
  menu->hide();
}

void BM_OpenMenuAndDeepestSubmenus(benchmark::State& state) {
  static auto* companion = new tray::Companion(Options(), *Shared().settings);
  for (auto _ : state) {
    state.PauseTiming();
    companion->reload();  // fresh submenus, filled on first opening
    state.ResumeTiming();
    QMenu* menu = companion->menu();
    OpenAndClose(menu);
    int depth = 0;
    // Follow the first submenu down as far as it goes.
    for (QMenu* m = menu; m;) {
      QMenu* next = nullptr;
      for (QAction* a : m->actions())
        if (a->menu()) {
          next = a->menu();
          break;
        }
      if (next) {
        OpenAndClose(next);
        ++depth;
      }
      m = next;
    }
    state.counters["submenus"] = depth;
    state.counters["topItems"] = static_cast<double>(menu->actions().size());
  }
}
BENCHMARK(BM_OpenMenuAndDeepestSubmenus)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return varnok::bench::RunQtBenchmarks(argc, argv); }
