#pragma once
// Long work on a worker thread while the GUI thread goes on painting. When
// the work takes longer than a moment, a progress window with Cancel comes
// up over the window; Cancel asks the work to stop and run() reports it.
// Until then user input waits, so that nothing is edited meanwhile; the
// progress window is modal.
#include <QObject>
#include <QPointer>
#include <chrono>

#include "dialogs/long_work.h"

class QWidget;

namespace varnok::app {

class ProgressWork final : public QObject, public LongWork {
  Q_OBJECT
 public:
  static constexpr std::chrono::milliseconds kDefaultShowDelay{500};

  explicit ProgressWork(QWidget* window, QObject* parent = nullptr);

  bool run(const std::string& label, const std::function<void(WorkControl&)>& work) override;
  // How long the work runs before the progress window comes up.
  void setShowDelay(std::chrono::milliseconds delay) { showDelay_ = delay; }

 private:
  QPointer<QWidget> window_;
  std::chrono::milliseconds showDelay_ = kDefaultShowDelay;
};

}  // namespace varnok::app
