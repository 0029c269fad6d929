#include "history_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varnok::tray {

HistoryWindow::HistoryWindow(const run::RunHistory& history, QWidget* parent)
    : QWidget(parent, Qt::Window), history_(history), list_(new QTreeWidget(this)) {
  setObjectName(QStringLiteral("HistoryWindow"));
  setWindowTitle(QStringLiteral("Varnok - run history"));
  list_->setObjectName(QStringLiteral("historyList"));
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Connection"), QStringLiteral("Started by"),
                          QStringLiteral("Result")});
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* layout = new QVBoxLayout(this);
  auto* where = new QLabel(this);
  where->setObjectName(QStringLiteral("historyFile"));
  where->setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (!history_.logFile().empty())
    where->setText(QStringLiteral("Log file: ") + QString::fromLocal8Bit(history_.logFile().c_str()));
  layout->addWidget(list_);
  layout->addWidget(where);
  resize(640, 320);
  refresh();
}

void HistoryWindow::refresh() {
  list_->clear();
  const auto& records = history_.records();
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    // The log file's line holds the time as shown.
    const std::string line = run::FormatRunRecord(*it);
    const QString when = QString::fromLocal8Bit(line.substr(0, line.find('\t')).c_str());
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, when);
    if (it->note) {
      item->setText(3, QString::fromLocal8Bit(it->message.c_str()));
      continue;
    }
    item->setText(1, QString::fromLocal8Bit(it->path.data(), static_cast<qsizetype>(it->path.size())));
    item->setText(2, it->scheduled ? QStringLiteral("schedule") : QStringLiteral("menu"));
    item->setText(3, QString::fromLocal8Bit(run::RunOutcome(*it).c_str()));
  }
}

}  // namespace varnok::tray
