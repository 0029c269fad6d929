#pragma once
// Messages registered by name and broadcast to every listening process of the
// same user ("VarnokcMessage", "VarnokcStopMessage", "VarnokRRMessage").
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace varnok::platform {

struct BusMessage {
  std::string name;
  std::uint64_t sender = 0;  // the sender's identity (wParam); 0 when none
};

// A process listens by creating one receiver. The receiver does not call back
// by itself: the owner watches `fd()` (e.g. with a QSocketNotifier on the GUI
// thread) and calls `dispatch()` when it is readable.
class MessageReceiver {
 public:
  using Handler = std::function<void(const BusMessage&)>;
  virtual ~MessageReceiver() = default;
  virtual int fd() const = 0;
  // Accepts pending messages, calls the handler for each, acknowledges each
  // after the handler returned.
  virtual void dispatch(const Handler& handler) = 0;
  // This receiver's identity; messages it sends itself carry it when asked.
  virtual std::uint64_t id() const = 0;
};

std::unique_ptr<MessageReceiver> ListenForMessages();

// Returns immediately; receivers get the message when they next dispatch.
void PostBroadcast(const std::string& name, std::uint64_t sender = 0);

// Returns when every receiver acknowledged, or its time ran out
// (`perReceiver` at most for each). Returns the number of receivers reached.
int SendBroadcast(const std::string& name, std::uint64_t sender = 0,
                  std::chrono::milliseconds perReceiver = std::chrono::milliseconds(1000));

}  // namespace varnok::platform
