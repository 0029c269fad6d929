#pragma once
// The editor's side of the messages exchanged with other processes:
// "VarnokcMessage" (come forward, offer the import of a handed-over file),
// "VarnokcStopMessage" (close with the usual questions) and the broadcast of
// "VarnokRRMessage" after settings or the configuration were written.
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "platform/message_bus.h"
#include "platform/settings_store.h"

class QSocketNotifier;
class QWidget;

namespace varnok::app {

class Prompter;

// What the link needs of the main window.
struct CompanionHost {
  QWidget* window = nullptr;
  std::function<bool()> hasUnsavedWork;                // unapplied page edits or a modified document
  std::function<void(const std::string&)> importFile;  // import a handed-over file
  std::string programDir;                              // whose Temp_CVL holds handed-over copies
};

class CompanionLink : public QObject {
  Q_OBJECT
 public:
  CompanionLink(CompanionHost host, platform::SettingsStore& settings, Prompter& prompter,
                QObject* parent = nullptr);
  ~CompanionLink() override;

  bool listening() const { return receiver_ != nullptr; }
  std::uint64_t id() const;
  // Handles one message as if it had arrived (the socket path calls this too).
  void handle(const platform::BusMessage& message);

 private:
  void onReadable();
  void offerHandedOverFile();

  CompanionHost host_;
  platform::SettingsStore& settings_;
  Prompter& prompter_;
  std::unique_ptr<platform::MessageReceiver> receiver_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer bringForwardLock_;  // 5 s after a "VarnokcMessage", further ones are ignored
};

// Restores a minimised window, else brings it to the front.
void ShowMainWindow(QWidget* window);

// After every write of settings or of the configuration: `saveSettings`, then
// a synchronous "VarnokRRMessage" to every listening process.
void NotifyCompanion(const std::function<void()>& saveSettings);

}  // namespace varnok::app
