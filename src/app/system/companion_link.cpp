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

CompanionLink::CompanionLink(Context context, QObject* parent)
    : QObject(parent),
      window_(context.window),
      settings_(context.settings),
      prompter_(context.prompter),
      programDir_(std::move(context.programDir)) {
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
    emit stopRequested();
    return;
  }
  if (message.name != platform::kEditorMessage) return;
  if (bringForwardLock_.isActive() || message.sender == id()) return;
  bringForwardLock_.start();
  ShowMainWindow(&window_);
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
  if (answer == PromptAnswer::Yes) emit fileHandedOver(path);
  // Its question is answered: the copy has served (the emulator folder plays no part).
  run::RemoveHandOverCopy(platform::ThisProgramPlaces(programDir_, {}), path);
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

void NotifyCompanion() { platform::SendBroadcast(platform::kCompanionReloadMessage, 0); }

}  // namespace varnok::app
