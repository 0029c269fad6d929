#pragma once
// The status bar's eight panels (SBar): last update, caret position,
// "Modified", INS/OVR, NUM, CAPS, SCROLL and an empty one.
#include <QString>
#include <array>

class QLabel;
class QStatusBar;

namespace varnok::app {

class StatusPanels {
 public:
  enum Panel { LastUpdated = 0, Caret, Modified, InsertMode, Num, Caps, Scroll, Empty, Count };

  explicit StatusPanels(QStatusBar& bar);

  QString text(Panel panel) const;
  // Sets the text; the label is only touched when the text changes.
  void setText(Panel panel, const QString& text);
  QLabel* label(Panel panel) const { return labels_[panel]; }

 private:
  std::array<QLabel*, Count> labels_{};
};

}  // namespace varnok::app
