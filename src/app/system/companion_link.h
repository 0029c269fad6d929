#pragma once
// The editor's side of the messages exchanged with other processes:
// "VarnokcMessage" (come forward, offer the import of a handed-over file),
// "VarnokcStopMessage" (close with the usual questions) and the broadcast of
// "VarnokRRMessage" after settings or the configuration were written.
#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "platform/message_bus.h"
#include "platform/settings_store.h"

class QSocketNotifier;
class QWidget;

namespace varnok::app {

class Prompter;

class CompanionLink : public QObject {
  Q_OBJECT
 public:
  struct Context {
    QWidget& window;  // brought forward by a "VarnokcMessage"
    platform::SettingsStore& settings;
    Prompter& prompter;
    std::string programDir;  // whose Temp_CVL holds handed-over copies
  };
  explicit CompanionLink(Context context, QObject* parent = nullptr);
  ~CompanionLink() override;

  bool listening() const { return receiver_ != nullptr; }
  std::uint64_t id() const;
  // Handles one message as if it had arrived (the socket path calls this too).
  void handle(const platform::BusMessage& message);

 signals:
  // "VarnokcStopMessage": the window closes with the usual questions.
  void stopRequested();
  // The user agreed to import the file a second start handed over.
  void fileHandedOver(const std::string& path);

 private:
  void onReadable();
  void offerHandedOverFile();

  QWidget& window_;
  platform::SettingsStore& settings_;
  Prompter& prompter_;
  std::string programDir_;
  std::unique_ptr<platform::MessageReceiver> receiver_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer bringForwardLock_;  // 5 s after a "VarnokcMessage", further ones are ignored
};

// Restores a minimised window, else brings it to the front.
void ShowMainWindow(QWidget* window);

// After every write of settings or of the configuration (the settings
// written first): a synchronous "VarnokRRMessage" to every listening process.
void NotifyCompanion();

}  // namespace varnok::app
