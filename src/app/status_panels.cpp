#include "status_panels.h"

#include <QLabel>
#include <QStatusBar>

namespace varnok::app {

StatusPanels::StatusPanels(QStatusBar& bar) {
  bar.setObjectName(QStringLiteral("SBar"));
  bar.setSizeGripEnabled(true);
  struct Spec {
    int width;
    Qt::Alignment align;
    bool bevel;
  };
  const Spec specs[Count] = {
      {300, Qt::AlignLeft | Qt::AlignVCenter, true}, {100, Qt::AlignCenter, true}, {50, Qt::AlignCenter, true},
      {34, Qt::AlignCenter, true},                   {34, Qt::AlignCenter, true},  {34, Qt::AlignCenter, true},
      {50, Qt::AlignCenter, true},                   {50, Qt::AlignCenter, false},
  };
  for (int i = 0; i < Count; ++i) {
    auto* label = new QLabel(&bar);
    label->setObjectName(QStringLiteral("SBarPanel%1").arg(i));
    label->setFixedWidth(specs[i].width);
    label->setAlignment(specs[i].align);
    label->setFrameStyle(specs[i].bevel ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
    label->setTextFormat(Qt::PlainText);
    bar.addWidget(label);
    labels_[static_cast<std::size_t>(i)] = label;
  }
}

QString StatusPanels::text(Panel panel) const { return labels_[panel]->text(); }

void StatusPanels::setText(Panel panel, const QString& text) {
  if (labels_[panel]->text() != text) labels_[panel]->setText(text);
}

}  // namespace varnok::app
