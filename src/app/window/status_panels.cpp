#include "window/status_panels.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>

#include "widgets/wrapping_buttons.h"

namespace varnok::app {

namespace {

struct PanelSpec {
  int width;  // the given width
  Qt::Alignment align;
  bool bevel;
  const char* longest;  // the longest text the panel usually shows
};

constexpr PanelSpec kPanels[StatusPanels::Count] = {
    {300, Qt::AlignLeft | Qt::AlignVCenter, true, "  Last updated: Wednesday, 30-Sep-2026 23:59:59"},
    {100, Qt::AlignCenter, true, "Ln. 9999, Col. 99"},
    {50, Qt::AlignCenter, true, "Modified"},
    {34, Qt::AlignCenter, true, "OVR"},
    {34, Qt::AlignCenter, true, "NUM"},
    {34, Qt::AlignCenter, true, "CAPS"},
    {50, Qt::AlignCenter, true, "SCROLL"},
    {50, Qt::AlignCenter, false, ""},
};

// Frame and inner margins of a sunken panel.
constexpr int kPadding = 6;
// The first panel gives way on a narrow window, down to this width.
constexpr int kLeastFirstWidth = 120;

// A panel that shows as much of its text as fits, the whole text in its tool
// tip; a wrapping panel breaks its text into lines between words instead.
class PanelLabel : public QLabel {
 public:
  using QLabel::QLabel;
  void setWraps(bool wraps) { wraps_ = wraps; }
  void setWholeText(const QString& text) {
    whole_ = text;
    elide();
    updateGeometry();
  }
  // The whole text decides how much room the panel asks for.
  QSize sizeHint() const override {
    const QSize hint = QLabel::sizeHint();
    return {std::max(minimumWidth(), fontMetrics().horizontalAdvance(whole_) + 2 * frameWidth() + 4),
            hint.height()};
  }
  // A wrapped text asks for the height of its lines.
  QSize minimumSizeHint() const override {
    const QSize least = QLabel::minimumSizeHint();
    return {least.width(), std::max(least.height(), fontMetrics().lineSpacing() * lines_ + 2 * frameWidth())};
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    elide();
  }

 private:
  void elide() {
    const int room = std::max(contentsRect().width(), 0);
    QString shown;
    if (wraps_ && fontMetrics().horizontalAdvance(whole_) > room)
      shown = WrapWords(fontMetrics(), whole_.trimmed(), room);
    else
      shown = fontMetrics().elidedText(whole_, Qt::ElideRight, room);
    setText(shown);
    setToolTip(shown == whole_ || wraps_ ? QString() : whole_);
    const int lines = static_cast<int>(shown.count(QLatin1Char('\n'))) + 1;
    if (lines != lines_) {
      lines_ = lines;
      updateGeometry();
    }
  }
  QString whole_;
  bool wraps_ = false;
  int lines_ = 1;
};

}  // namespace

StatusPanels::StatusPanels(QStatusBar& bar) {
  bar.setObjectName(QStringLiteral("SBar"));
  bar.setSizeGripEnabled(true);
  const QFontMetrics metrics(bar.font());
  for (int i = 0; i < Count; ++i) {
    const PanelSpec& spec = kPanels[i];
    auto* label = new PanelLabel(&bar);
    label->setObjectName(QStringLiteral("SBarPanel%1").arg(i));
    const int width =
        std::max(spec.width, metrics.horizontalAdvance(QString::fromLatin1(spec.longest)) + kPadding);
    if (i == LastUpdated) {
      label->setWraps(true);  // "Last updated:" above the time stamp rather than cut
      label->setMinimumWidth(kLeastFirstWidth);
      label->setMaximumWidth(width);
    } else if (i == Empty) {
      label->setMaximumWidth(width);  // always empty: the first to give way
      label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    } else {
      label->setFixedWidth(width);
    }
    label->setAlignment(spec.align);
    label->setFrameStyle(spec.bevel ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
    label->setTextFormat(Qt::PlainText);
    bar.addWidget(label, i == LastUpdated ? 100 : i == Empty ? 1 : 0);
    labels_[static_cast<std::size_t>(i)] = label;
  }
}

void StatusPanels::setText(Panel panel, const QString& text) {
  if (texts_[panel] == text) return;
  texts_[panel] = text;
  if (panel == LastUpdated && !tip_.isEmpty()) return;  // shown again when the tip ends
  static_cast<PanelLabel*>(labels_[panel])->setWholeText(text);
}

void StatusPanels::showTip(const QString& tip) {
  if (tip == tip_) return;
  tip_ = tip;
  static_cast<PanelLabel*>(labels_[LastUpdated])->setWholeText(tip.isEmpty() ? texts_[LastUpdated] : tip);
}

}  // namespace varnok::app
