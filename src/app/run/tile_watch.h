#pragma once
// Tiling the emulators that "Run all selected" started. A program just
// started may show its window only a while later, and some window managers
// give a fresh window its own size after it was first placed. So the watch
// looks at the desktop four times a second: each time another started
// emulator shows its window, all of them are tiled again, and twice more once
// no new one has come for a moment (0.5 s and 1.5 s later). It ends after
// that last tiling when every emulator shows its window, or when the time
// limit has passed, so that windows the user moves afterwards stay put.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <vector>

#include "platform/desktop_windows.h"

namespace varnok::app {

class TileWatch : public QObject {
  Q_OBJECT
 public:
  explicit TileWatch(platform::DesktopWindowCalls desktop, QObject* parent = nullptr);

  // Tiles the windows of `pids` (in that order) as they appear, for at least
  // `limitMs` unless all have appeared sooner.
  void begin(std::vector<int> pids, int limitMs);
  void stop();

 private:
  void look();

  platform::DesktopWindowCalls desktop_;
  std::vector<int> pids_;
  QTimer ticks_;
  QElapsedTimer since_;
  int limitMs_ = 0;
  int shown_ = -1;      // windows shown when last tiled
  int quietLooks_ = 0;  // looks since the number of windows last changed
};

}  // namespace varnok::app
