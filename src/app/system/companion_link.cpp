#include "system/companion_link.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include "common/program_paths.h"
#include "dialogs/prompts.h"
#include "platform/program_names.h"
#include "platform/program_places.h"
#include "platform/settings_names.h"
#include "run/temp_files.h"

namespace varnok::app {

CompanionLink::CompanionLink(CompanionHost host, platform::SettingsStore& settings, Prompter& prompter,
                             QObject* parent)
    : QObject(parent), host_(std::move(host)), settings_(settings), prompter_(prompter) {
  bringForwardLock_.setSingleShot(true);
  bringForwardLock_.setInterval(5000);
  receiver_ = platform::ListenForMessages();
  if (receiver_) {
    notifier_ = new QSocketNotifier(receiver_->fd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CompanionLink::onReadable);
  }
}

CompanionLink::~CompanionLink() = default;

std::uint64_t CompanionLink::id() const { return receiver_ ? receiver_->id() : 0; }

void CompanionLink::onReadable() {
  // A handler may open a dialog with its own event loop; no message is taken
  // while another is being handled.
  notifier_->setEnabled(false);
  receiver_->dispatch([this](const platform::BusMessage& m) { handle(m); });
  notifier_->setEnabled(true);
}

void CompanionLink::handle(const platform::BusMessage& message) {
  if (message.name == platform::kEditorStopMessage) {
    if (host_.hasUnsavedWork && host_.hasUnsavedWork()) ShowMainWindow(host_.window);
    if (host_.window) host_.window->close();
    return;
  }
  if (message.name != platform::kEditorMessage) return;
  if (bringForwardLock_.isActive() || message.sender == id()) return;
  bringForwardLock_.start();
  ShowMainWindow(host_.window);
  offerHandedOverFile();
}

void CompanionLink::offerHandedOverFile() {
  std::string path = platform::ParamName.read(settings_);
  if (path.empty()) return;
  // The copy made by a second start carries a "~" that the user never gave it.
  std::string shown = FileNameOf(path);
  if (!shown.empty() && shown.front() == '~') shown.erase(0, 1);
  if (!FileExists(path)) {
    prompter_.warning("Cannot import file " + DisplayName(shown) + ". File not found.");
    return;
  }
  PromptAnswer answer = prompter_.ask(PromptKind::Confirmation, PromptButtons::YesNo,
                                      "Do you want to import file " + DisplayName(shown) + " into Varnokc?");
  if (answer == PromptAnswer::Yes && host_.importFile) host_.importFile(path);
  // Its question is answered: the copy has served (the emulator folder plays no part).
  run::RemoveHandOverCopy(platform::ThisProgramPlaces(host_.programDir, {}), path);
  platform::ParamName.write(settings_, "");
}

void ShowMainWindow(QWidget* window) {
  if (!window) return;
  if (window->isMinimized()) {
    window->showNormal();
  } else {
    window->show();
    window->raise();
    window->activateWindow();
  }
  QApplication::processEvents();
}

void NotifyCompanion(const std::function<void()>& saveSettings) {
  if (saveSettings) saveSettings();
  platform::SendBroadcast(platform::kCompanionReloadMessage, 0);
}

}  // namespace varnok::app
