// Stand-in for the companion tray program: holds "VarnokSemaphore" while it
// runs and answers the editor's messages. `varnok --stop-editor` asks a
// running editor to close.
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>

#include "platform/message_bus.h"
#include "platform/process_marker.h"
#include "platform/program_names.h"
#include "platform/runtime_dir.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

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
    PostBroadcast(varnok::names::kEditorStopMessage);
    return 0;
  }
  if (argc > 1) {
    std::cerr << "usage: varnok [--stop-editor]\n";
    return 2;
  }
  auto marker = AcquireMarker(varnok::names::kCompanionMarker);
  if (!marker) {
    std::cerr << "varnok: the companion is already running\n";
    return 1;
  }
  auto receiver = ListenForMessages();
  if (!receiver) {
    std::cerr << "varnok: cannot listen for messages\n";
    return 1;
  }
  std::signal(SIGTERM, RequestStop);
  std::signal(SIGINT, RequestStop);
  Record("started " + std::to_string(::getpid()));
  while (!stopRequested) {
    pollfd p{receiver->fd(), POLLIN, 0};
    if (::poll(&p, 1, 200) > 0)
      receiver->dispatch([](const BusMessage& m) {
        if (m.name == varnok::names::kCompanionReloadMessage) Record(m.name);
      });
  }
  return 0;
}
