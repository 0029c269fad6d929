#include "schedule_page.h"

#include <QLabel>

namespace varnok::app {

SchedulePage::SchedulePage(QWidget* parent) : ConnectionPage("TS4", "TS4Panel", parent) {
  summary_ = new QLabel;
  summary_->setObjectName(QStringLiteral("SchedulePlaceholder"));
  summary_->setAlignment(Qt::AlignCenter);
  setContent(summary_);
}

void SchedulePage::show(const std::string& schedule) {
  schedule_ = schedule;
  // The stored form begins with "=".
  summary_->setText(schedule_.empty()
                        ? QStringLiteral("No schedule")
                        : QStringLiteral("Schedule: %1").arg(QString::fromLocal8Bit(schedule_.c_str() + 1)));
}

void SchedulePage::load(const rVTNodeData& record) {
  show(std::string(record.Schedule));
  setEdited(false);
}

void SchedulePage::commit(rVTNodeData& record) const { record.Schedule = schedule_; }

QVariant SchedulePage::state() const { return QString::fromStdString(schedule_); }

void SchedulePage::restoreState(const QVariant& state) { show(state.toString().toStdString()); }

}  // namespace varnok::app
