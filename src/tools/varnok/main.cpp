// The companion tray program: holds "VarnokSemaphore" while it runs, shows
// the configuration in the tray, runs connections and schedules, and reloads
// on "VarnokRRMessage". `varnok --stop-editor` asks a running editor to close.
//
// VARNOK_RECORD names a file that receives one line per event (start,
// messages heard, loads, runs, notices) for tests; VARNOK_CLOCK sets a test
// clock (see test_clock.h).
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>

#include "companion.h"
#include "platform/executable_path.h"
#include "platform/message_bus.h"
#include "platform/process_marker.h"
#include "platform/program_names.h"
#include "platform/runtime_dir.h"
#include "test_clock.h"

namespace {

int stopPipe[2] = {-1, -1};
void RequestStop(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(stopPipe[1], &byte, 1);
}

void Record(const std::string& line) {
  if (const char* path = std::getenv("VARNOK_RECORD"); path && *path)
    std::ofstream(path, std::ios::app) << line << "\n";
  else
    std::cout << line << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace varnok::platform;
  // Without a safe runtime folder there is no marker to hold and nobody to tell.
  if (std::string problem = RuntimeDirProblem(); !problem.empty()) {
    std::cerr << "varnok: " << problem << "\n";
    return 1;
  }
  if (argc > 1 && std::strcmp(argv[1], "--stop-editor") == 0) {
    PostBroadcast(varnok::platform::kEditorStopMessage);
    return 0;
  }
  if (argc > 1) {
    std::cerr << "usage: varnok [--stop-editor]\n";
    return 2;
  }
  varnok::tray::ClockSetting clock = varnok::tray::ClockFromEnvironment();
  if (!clock.problem.empty()) {
    std::cerr << "varnok: " << clock.problem << "\n";
    return 2;
  }
  auto marker = AcquireMarker(varnok::platform::kCompanionMarker);
  if (!marker) {
    std::cerr << "varnok: the companion is already running\n";
    return 1;
  }
  // At once: whoever started the companion learns its process (tests end it).
  Record("started " + std::to_string(::getpid()));
  auto receiver = ListenForMessages();
  if (!receiver) {
    std::cerr << "varnok: cannot listen for messages\n";
    return 1;
  }
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, stopPipe) != 0) {
    std::cerr << "varnok: " << std::strerror(errno) << "\n";
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  auto settings = OpenVarnokSettings();
  varnok::tray::CompanionOptions options;
  options.programDir = ExecutableDir();
  options.clock = clock.clock.get();
  options.clockRate = clock.rate;
  options.historyFile = varnok::tray::DefaultHistoryFile();
  options.record = Record;
  varnok::tray::Companion companion(options, *settings);

  QSocketNotifier messages(receiver->fd(), QSocketNotifier::Read);
  QObject::connect(&messages, &QSocketNotifier::activated, &companion, [&] {
    receiver->dispatch([&](const BusMessage& m) {
      if (m.name != varnok::platform::kCompanionReloadMessage) return;
      Record(m.name);
      companion.requestReload();
    });
  });
  QSocketNotifier stop(stopPipe[0], QSocketNotifier::Read);
  QObject::connect(&stop, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
  std::signal(SIGTERM, RequestStop);
  std::signal(SIGINT, RequestStop);
  return app.exec();
}
