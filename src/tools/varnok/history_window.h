#pragma once
// The small window of the last runs, newest first.
#include <QWidget>

#include "run/run_history.h"

class QTreeWidget;

namespace varnok::tray {

class HistoryWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HistoryWindow(const run::RunHistory& history, QWidget* parent = nullptr);
  void refresh();
  QTreeWidget* list() const { return list_; }

 private:
  const run::RunHistory& history_;
  QTreeWidget* list_;
};

}  // namespace varnok::tray
