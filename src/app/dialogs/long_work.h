#pragma once
// Work that may take long (reading and naming the connections of an import
// or a paste) runs through this interface, so that the window can run it away
// from the GUI thread with a progress window and Cancel, while everything
// else runs it in place.
#include <functional>
#include <string>

#include "common/work_control.h"

namespace varnok::app {

class LongWork {
 public:
  virtual ~LongWork() = default;
  // Runs `work` to its end; false when the user stopped it (the work saw
  // stopRequested() and its result is to be thrown away). An exception of
  // the work reaches the caller. `label` says what is going on.
  virtual bool run(const std::string& label, const std::function<void(WorkControl&)>& work) = 0;
};

// Runs the work on the calling thread; nobody can stop it.
class WorkInPlace final : public LongWork {
 public:
  bool run(const std::string&, const std::function<void(WorkControl&)>& work) override {
    WorkControl control;
    work(control);
    return true;
  }
};

}  // namespace varnok::app
