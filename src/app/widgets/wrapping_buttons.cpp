#include "widgets/wrapping_buttons.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace varnok::app {

QString WrapWords(const QFontMetrics& metrics, const QString& text, int width) {
  QString out;
  QString line;
  for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    if (line.isEmpty() || metrics.horizontalAdvance(longer) <= width) {
      line = longer;
      continue;
    }
    out += line + QLatin1Char('\n');
    line = word;
  }
  return out + line;
}

namespace {

QSizePolicy WrappingPolicy(QSizePolicy::Policy vertical) {
  QSizePolicy policy(QSizePolicy::Preferred, vertical);
  policy.setHeightForWidth(true);
  return policy;
}

// The widest word: the narrowest the caption can become.
int LongestWord(const QFontMetrics& metrics, const QString& text) {
  int widest = 0;
  for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    widest = std::max(widest, metrics.horizontalAdvance(word));
  return widest;
}

}  // namespace

// ---- check box ----

WrappingCheckBox::WrappingCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
  setSizePolicy(WrappingPolicy(QSizePolicy::Preferred));
}

// The room for the caption beside the indicator, at the widget width `width`.
QStyleOptionButton WrappingCheckBox::wrappedOption(int width) const {
  QStyleOptionButton option;
  initStyleOption(&option);
  const int beside = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this) +
                     style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, this);
  option.text = WrapWords(fontMetrics(), text(), width - beside - 2);
  return option;
}

int WrappingCheckBox::heightForWidth(int width) const {
  const QStyleOptionButton option = wrappedOption(width);
  const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, option.text);
  return style()->sizeFromContents(QStyle::CT_CheckBox, &option, textSize, this).height();
}

QSize WrappingCheckBox::minimumSizeHint() const {
  const QSize whole = QCheckBox::sizeHint();
  const int captionWidth = fontMetrics().horizontalAdvance(text());
  return {whole.width() - captionWidth + LongestWord(fontMetrics(), text()), whole.height()};
}

void WrappingCheckBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  painter.drawControl(QStyle::CE_CheckBox, wrappedOption(width()));
}

// ---- push button ----

WrappingPushButton::WrappingPushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setSizePolicy(WrappingPolicy(QSizePolicy::Preferred));
}

QStyleOptionButton WrappingPushButton::wrappedOption(int width) const {
  QStyleOptionButton option;
  initStyleOption(&option);
  const int frame = QPushButton::sizeHint().width() - fontMetrics().horizontalAdvance(text());
  option.text = WrapWords(fontMetrics(), text(), width - frame);
  return option;
}

int WrappingPushButton::heightForWidth(int width) const {
  const QStyleOptionButton option = wrappedOption(width);
  const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, option.text);
  return style()->sizeFromContents(QStyle::CT_PushButton, &option, textSize, this).height();
}

QSize WrappingPushButton::minimumSizeHint() const {
  const QSize whole = QPushButton::sizeHint();
  const int captionWidth = fontMetrics().horizontalAdvance(text());
  return {whole.width() - captionWidth + LongestWord(fontMetrics(), text()), whole.height()};
}

void WrappingPushButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  painter.drawControl(QStyle::CE_PushButton, wrappedOption(width()));
}

}  // namespace varnok::app
