#pragma once
// Messages registered by name and broadcast to every listening process of the
// same user ("VarnokcMessage", "VarnokcStopMessage", "VarnokRRMessage").
#include <chrono>
#include <cstddef>
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
// thread, or poll in its own loop) and calls `dispatch()` when it is readable.
//
// Nothing in it blocks: a sender that is slow or silent cannot hold up the
// owner's thread. `dispatch()` takes what has arrived, keeps unfinished
// messages in a buffer per connection, and drops a connection whose message
// is not complete `kMessageDeadline` after it was accepted. At most
// `kMaxOpenConnections` are open at once; further senders wait in the
// socket's backlog. `fd()` also becomes readable at the next deadline, so the
// owner needs no timer of its own.
class MessageReceiver {
 public:
  using Handler = std::function<void(const BusMessage&)>;
  static constexpr std::chrono::milliseconds kMessageDeadline{500};
  static constexpr std::size_t kMaxOpenConnections = 32;

  virtual ~MessageReceiver() = default;
  virtual int fd() const = 0;
  // Reads what is ready, calls the handler for each complete message and
  // acknowledges each after the handler returned. The handler may run an
  // event loop that calls dispatch() again.
  virtual void dispatch(const Handler& handler) = 0;
  // This receiver's identity; messages it sends itself carry it when asked.
  virtual std::uint64_t id() const = 0;
  // Connections accepted whose message is not complete yet.
  virtual std::size_t openConnections() const = 0;
};

std::unique_ptr<MessageReceiver> ListenForMessages();

// Returns immediately; receivers get the message when they next dispatch.
void PostBroadcast(const std::string& name, std::uint64_t sender = 0);

// Returns when every receiver acknowledged, or its time ran out
// (`perReceiver` at most for each). Returns the number of receivers reached.
int SendBroadcast(const std::string& name, std::uint64_t sender = 0,
                  std::chrono::milliseconds perReceiver = std::chrono::milliseconds(1000));

}  // namespace varnok::platform
