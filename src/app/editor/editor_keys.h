#pragma once
// Key and scroll behaviours of the macro and popup editors beyond the
// component's own, each a small object attached to one editor.
#include <QObject>

class QsciScintilla;

namespace varnok::app {

// End toggles between the end of the last non-blank character and the end of
// the line (Shift+End extends the selection the same way). Home's toggle
// between the first non-blank character and the line start is Scintilla's own.
class LineBoundaryKeys : public QObject {
  Q_OBJECT
 public:
  explicit LineBoundaryKeys(QsciScintilla& editor);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void end(bool extend);
  QsciScintilla& editor_;
};

// Smart tabs: Tab advances to the next word start of the nearest non-blank
// line above, entering blanks; where that line has none, Tab is the
// component's own. Smart tab deletion: Backspace after blanks goes back to the
// nearest word start of that line (or the line start) as long as only blanks
// are deleted.
class SmartTabs : public QObject {
  Q_OBJECT
 public:
  explicit SmartTabs(QsciScintilla& editor);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool tab();
  bool backspace();
  QsciScintilla& editor_;
};

// While the vertical scroll thumb is dragged, a tool tip beside the thumb
// shows the number of the line at the top of the view.
class ScrollHint : public QObject {
  Q_OBJECT
 public:
  explicit ScrollHint(QsciScintilla& editor);

 private:
  void show(int value);
  QsciScintilla& editor_;
};

}  // namespace varnok::app
