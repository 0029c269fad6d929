#include "colors_page.h"

#include <QLabel>

namespace varnok::app {

ColorsPage::ColorsPage(QWidget* parent) : ConnectionPage("TS3", "TS3Panel", parent) {
  summary_ = new QLabel;
  summary_->setObjectName(QStringLiteral("ColorsPlaceholder"));
  summary_->setAlignment(Qt::AlignCenter);
  setContent(summary_);
}

void ColorsPage::show(const std::string& colors) {
  colors_ = colors;
  summary_->setText(QStringLiteral("Colors: %1").arg(QString::fromLocal8Bit(colors_.c_str())));
}

void ColorsPage::load(const rVTNodeData& record) {
  show(std::string(record.Colors));
  setEdited(false);
}

void ColorsPage::commit(rVTNodeData& record) const { record.Colors = colors_; }

QVariant ColorsPage::state() const { return QString::fromStdString(colors_); }

void ColorsPage::restoreState(const QVariant& state) { show(state.toString().toStdString()); }

}  // namespace varnok::app
