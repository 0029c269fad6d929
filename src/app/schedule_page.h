#pragma once
// The "Schedule" page. Until its editor arrives it shows the connection's
// schedule and hands it back unchanged.
#include <string>

#include "connection_page.h"

class QLabel;

namespace varnok::app {

class SchedulePage : public ConnectionPage {
  Q_OBJECT
 public:
  explicit SchedulePage(QWidget* parent = nullptr);

  void load(const rVTNodeData& record) override;
  void commit(rVTNodeData& record) const override;
  QVariant state() const override;
  void restoreState(const QVariant& state) override;

 private:
  void show(const std::string& schedule);
  QLabel* summary_ = nullptr;
  std::string schedule_;
};

}  // namespace varnok::app
