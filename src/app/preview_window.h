#pragma once
// "Preview branch macro": a read-only window with exactly the text that Run
// branch would write for the focused connection (the ancestors' macros, the
// variables replaced, the log-opening block), without starting anything. The
// window follows the focus and the editor while it is open.
#include <QDialog>
#include <functional>
#include <string>

class QsciScintilla;

namespace varnok::app {

class PreviewWindow : public QDialog {
  Q_OBJECT
 public:
  // `text`: the preview of the focused connection now; empty when there is none.
  PreviewWindow(std::function<std::string()> text, int pointSize, QWidget* parent = nullptr);

  // Shows the current text again (while the window is shown).
  void refresh();
  QsciScintilla& editor() const { return *editor_; }

 private:
  std::function<std::string()> text_;
  QsciScintilla* editor_ = nullptr;
};

}  // namespace varnok::app
