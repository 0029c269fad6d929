#pragma once
// The "Colors" page. Until its editor arrives it shows the connection's
// colour string and hands it back unchanged.
#include <string>

#include "connection_page.h"

class QLabel;

namespace varnok::app {

class ColorsPage : public ConnectionPage {
  Q_OBJECT
 public:
  explicit ColorsPage(QWidget* parent = nullptr);

  void load(const rVTNodeData& record) override;
  void commit(rVTNodeData& record) const override;
  QVariant state() const override;
  void restoreState(const QVariant& state) override;

 private:
  void show(const std::string& colors);
  QLabel* summary_ = nullptr;
  std::string colors_;
};

}  // namespace varnok::app
