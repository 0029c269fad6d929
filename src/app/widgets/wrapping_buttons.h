#pragma once
// Check boxes and push buttons whose caption breaks between words when the
// page is too narrow for it on one line, instead of being cut: the widgets
// keep their whole text (text() is unchanged) and ask the layout for the
// height the wrapped caption needs.
#include <QCheckBox>
#include <QPushButton>

class QStyleOptionButton;

namespace varnok::app {

// `text` broken into lines at blanks so that each line fits `width` pixels
// where possible (a word longer than the width stands on a line of its own).
QString WrapWords(const QFontMetrics& metrics, const QString& text, int width);

class WrappingCheckBox : public QCheckBox {
 public:
  explicit WrappingCheckBox(const QString& text, QWidget* parent = nullptr);
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

 private:
  QStyleOptionButton wrappedOption(int width) const;
};

class WrappingPushButton : public QPushButton {
 public:
  explicit WrappingPushButton(const QString& text, QWidget* parent = nullptr);
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QStyleOptionButton wrappedOption(int width) const;
};

}  // namespace varnok::app
