#include "run/tile_watch.h"

namespace varnok::app {

namespace {

constexpr int kLookMs = 250;
// Quiet looks after which the windows are tiled once more: 0.5 s and 1.5 s.
constexpr int kFirstRetile = 2;
constexpr int kLastRetile = 6;

}  // namespace

TileWatch::TileWatch(platform::DesktopWindowCalls desktop, QObject* parent)
    : QObject(parent), desktop_(std::move(desktop)) {
  ticks_.setInterval(kLookMs);
  connect(&ticks_, &QTimer::timeout, this, &TileWatch::look);
}

void TileWatch::begin(std::vector<int> pids, int limitMs) {
  stop();
  pids_ = std::move(pids);
  limitMs_ = limitMs;
  shown_ = -1;
  quietLooks_ = 0;
  if (pids_.empty()) return;
  since_.start();
  ticks_.start();
  look();
}

void TileWatch::stop() {
  ticks_.stop();
  pids_.clear();
}

void TileWatch::look() {
  const int shown = desktop_.shown(pids_);
  if (shown != shown_) {
    shown_ = shown;
    quietLooks_ = 0;
    if (shown > 0) desktop_.tile(pids_);
  } else {
    ++quietLooks_;
    if (shown > 0 && (quietLooks_ == kFirstRetile || quietLooks_ == kLastRetile)) desktop_.tile(pids_);
  }
  const bool settled = quietLooks_ >= kLastRetile;
  if (settled && (shown >= static_cast<int>(pids_.size()) || since_.elapsed() >= limitMs_)) stop();
}

}  // namespace varnok::app
