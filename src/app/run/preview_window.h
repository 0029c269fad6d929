#pragma once
// "Preview branch macro": a read-only window with exactly the text that Run
// branch would write for the focused connection (the ancestors' macros, the
// variables replaced, the log-opening block), without starting anything. The
// window follows the focus and the editor while it is open; its title names
// the connection shown, and with several connections selected a line above
// the text says which one that is. Close and Esc close it.
#include <QDialog>
#include <string>

class QLabel;
class QsciScintilla;

namespace varnok::app {

class RunCommands;

// What the preview shows for the focused connection now.
struct PreviewContent {
  std::string text;  // empty when no connection is focused
  std::string path;  // the connection's path of names, "Site/Lab/router1"
  int selectedCount = 0;
};

class PreviewWindow : public QDialog {
  Q_OBJECT
 public:
  // The text is what `runs` would write for Run branch.
  PreviewWindow(const RunCommands& runs, int pointSize, QWidget* parent = nullptr);

  // Shows the current content again (while the window is shown).
  void refresh();
  QsciScintilla& editor() const { return *editor_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const RunCommands& runs_;
  QsciScintilla* editor_ = nullptr;
  QLabel* note_ = nullptr;
};

}  // namespace varnok::app
