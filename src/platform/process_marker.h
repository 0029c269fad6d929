#pragma once
// Named markers of running processes ("VarnokcSemaphore", "VarnokSemaphore").
// A marker is held for as long as its holder lives; the system frees it when
// the holder ends, also when it crashes.
#include <memory>
#include <string>

namespace varnok::platform {

class ProcessMarker {
 public:
  virtual ~ProcessMarker() = default;  // releases the marker
};

// Takes the marker when nobody holds it; nullptr when another process holds it
// (or it cannot be created: callers treat that as "held elsewhere" only where
// they say so).
std::unique_ptr<ProcessMarker> AcquireMarker(const std::string& name);

// Whether some process holds the marker now.
bool IsMarkerHeld(const std::string& name);

}  // namespace varnok::platform
