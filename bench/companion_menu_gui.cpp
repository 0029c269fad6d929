// The companion on 100,000 connections: reading the file into the menu,
// opening the tray menu and a chain of submenus down to the deepest level
// (each submenu is filled when it opens), and a burst of 200 reload messages
// through the message bus. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_companion_menu_gui
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QSocketNotifier>
#include <atomic>
#include <filesystem>
#include <thread>

#include "companion.h"
#include "files/vnk_file.h"
#include "generated_tree.h"
#include "platform/message_bus.h"
#include "platform/posix/settings_file.h"
#include "platform/program_names.h"
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
    settings->write({platform::LastVNKFile.value(file)});
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

double CpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// 200 "VarnokRRMessage" posted as fast as another process can, received as
// the companion program receives them; the CPU time until the last reload.
void BM_BurstOfReloadMessages(benchmark::State& state) {
  const std::string runtime = Shared().folder + "/runtime";
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  int loads = 0, kept = 0;
  tray::CompanionOptions o = Options();
  o.record = [&](const std::string& line) {
    loads += line.rfind("loaded ", 0) == 0;
    kept += line.rfind("kept ", 0) == 0;  // the file was unchanged: not read again
  };
  tray::Companion companion(o, *Shared().settings);
  auto receiver = platform::ListenForMessages();
  QSocketNotifier notifier(receiver->fd(), QSocketNotifier::Read);
  int heard = 0;
  QObject::connect(&notifier, &QSocketNotifier::activated, &companion, [&] {
    receiver->dispatch([&](const platform::BusMessage&) {
      ++heard;
      companion.requestReload();
    });
  });
  for (auto _ : state) {
    loads = 0;
    kept = 0;
    heard = 0;
    const double cpu = CpuSeconds();
    std::atomic<bool> sent{false};
    std::thread sender([&] {
      for (int i = 0; i < 200; ++i) platform::PostBroadcast(platform::kCompanionReloadMessage);
      sent = true;
    });
    QElapsedTimer quiet;
    quiet.start();
    int lastLoads = -1;
    // Until a second passes without a reload after the sender is done.
    for (bool sending = true; sending || quiet.elapsed() < 1000;) {
      QApplication::processEvents(QEventLoop::AllEvents, 20);
      if (loads + kept != lastLoads) {
        lastLoads = loads + kept;
        quiet.restart();
      }
      if (sending && sent) {
        sender.join();
        sending = false;
        quiet.restart();
      }
    }
    state.counters["cpuSeconds"] = CpuSeconds() - cpu;
    state.counters["reloads"] = loads;
    state.counters["unchangedKept"] = kept;
    state.counters["messagesHeard"] = heard;
  }
  state.SetLabel("200 reload messages, 100,000 connections");
}
BENCHMARK(BM_BurstOfReloadMessages)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return varnok::bench::RunQtBenchmarks(argc, argv); }
