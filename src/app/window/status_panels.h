#pragma once
// The status bar's eight panels (SBar): last update, caret position,
// "Modified", INS/OVR, NUM, CAPS, SCROLL and an empty one. Each panel is at
// least its given width and wide enough for its longest usual text in the
// bar's font; a text that still does not fit is cut with "…" and shown whole
// in the panel's tool tip.
#include <QString>
#include <array>

class QLabel;
class QStatusBar;

namespace varnok::app {

class StatusPanels {
 public:
  enum Panel { LastUpdated = 0, Caret, Modified, InsertMode, Num, Caps, Scroll, Empty, Count };

  explicit StatusPanels(QStatusBar& bar);

  // The whole text, also when the panel shows it cut.
  QString text(Panel panel) const { return texts_[panel]; }
  // Sets the text; the label is only touched when the text changes.
  void setText(Panel panel, const QString& text);
  QLabel* label(Panel panel) const { return labels_[panel]; }
  // A hovered command's status tip (why it is greyed) in the first panel in
  // place of its text, the other panels staying; an empty tip ends it.
  void showTip(const QString& tip);

 private:
  std::array<QLabel*, Count> labels_{};
  std::array<QString, Count> texts_{};
  QString tip_;
};

}  // namespace varnok::app
