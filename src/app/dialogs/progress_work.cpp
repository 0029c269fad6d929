#include "dialogs/progress_work.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

namespace varnok::app {

namespace {

// How often the GUI thread looks at the work between other events.
constexpr int kTickMs = 20;
constexpr int kSteps = 1000;

int StepsDone(const WorkControl& control) {
  const std::int64_t total = control.total();
  if (total <= 0) return 0;
  return static_cast<int>(std::min<std::int64_t>(control.done(), total) * kSteps / total);
}

}  // namespace

ProgressWork::ProgressWork(QWidget* window, QObject* parent) : QObject(parent), window_(window) {}

bool ProgressWork::run(const std::string& label, const std::function<void(WorkControl&)>& work) {
  WorkControl control;
  std::atomic<bool> finished{false};
  std::exception_ptr failure;
  QTimer tick;  // wakes the wait below to look at the work
  std::thread worker([&] {
    try {
      work(control);
    } catch (...) {
      failure = std::current_exception();
    }
    finished.store(true, std::memory_order_release);
    // Wakes the GUI thread at once, not at the next tick.
    QMetaObject::invokeMethod(
        &tick, [] {}, Qt::QueuedConnection);
  });

  QApplication::setOverrideCursor(Qt::BusyCursor);
  tick.start(kTickMs);
  QElapsedTimer clock;
  clock.start();
  std::unique_ptr<QProgressDialog> dialog;
  const QPointer<QWidget> focus = QApplication::focusWidget();
  while (!finished.load(std::memory_order_acquire)) {
    if (!dialog && clock.elapsed() >= showDelay_.count()) {
      dialog = std::make_unique<QProgressDialog>(QString::fromStdString(label), QStringLiteral("Cancel"), 0,
                                                 kSteps, window_);
      dialog->setObjectName(QStringLiteral("ProgressDialog"));
      dialog->setWindowTitle(window_ ? window_->windowTitle() : QString());
      dialog->setWindowModality(Qt::ApplicationModal);
      dialog->setAutoClose(false);
      dialog->setAutoReset(false);
      dialog->setMinimumDuration(0);
      connect(dialog.get(), &QProgressDialog::canceled, dialog.get(), [&control, &dialog] {
        control.requestStop();
        dialog->setLabelText(QStringLiteral("Cancelling ..."));
      });
      dialog->show();
    }
    if (dialog) dialog->setValue(StepsDone(control));
    // Painting goes on; user input waits until the progress window, modal,
    // takes it (only Cancel can be reached then).
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                    (dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents));
  }
  worker.join();
  if (dialog) {
    dialog.reset();
    // The window, and the control that had the focus, take it back.
    if (window_) window_->activateWindow();
    if (focus) focus->setFocus();
  }
  QApplication::restoreOverrideCursor();
  if (failure) std::rethrow_exception(failure);
  return !control.stopRequested();
}

}  // namespace varnok::app
