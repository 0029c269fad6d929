#pragma once
// What a long piece of work on a worker thread shares with the thread that
// waits for it: a request to stop, asked for between pieces of the work, and
// how far the work got, in parts of a total the work sets. Both sides may
// call everything at any time.
#include <atomic>
#include <cstdint>

namespace varnok {

class WorkControl {
 public:
  void requestStop() { stop_.store(true, std::memory_order_relaxed); }
  bool stopRequested() const { return stop_.load(std::memory_order_relaxed); }

  void setProgress(std::int64_t done, std::int64_t total) {
    total_.store(total, std::memory_order_relaxed);
    done_.store(done, std::memory_order_relaxed);
  }
  std::int64_t done() const { return done_.load(std::memory_order_relaxed); }
  std::int64_t total() const { return total_.load(std::memory_order_relaxed); }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<std::int64_t> done_{0};
  std::atomic<std::int64_t> total_{0};
};

}  // namespace varnok
