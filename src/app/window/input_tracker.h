#pragma once
// The window sees the keys, mouse releases and focus changes of its controls
// first: it keeps the lock-key panels and the INS/OVR panel up to date (shown
// exactly while a text control has the focus), toggles the insert mode on
// Insert, makes a typed character replace the next one in overwrite mode in
// the single-line fields and the tree's name editor, and asks for a command
// refresh after every key release and after focus and mouse events in the
// text fields and the tree.
#include <QList>
#include <QObject>

class QKeyEvent;
class QWidget;
class QsciScintilla;

namespace varnok::app {

class StatusPanels;

class InputTracker : public QObject {
  Q_OBJECT
 public:
  struct Targets {
    QWidget* window = nullptr;
    QWidget* tree = nullptr;
    QList<QsciScintilla*> editors;  // follow the insert mode with their overtype
    QList<QWidget*> fields;         // single-line fields
  };
  InputTracker(Targets targets, StatusPanels& status, QObject* parent = nullptr);
  ~InputTracker() override;

  // Panels 4, 5 and 6 from the lock keys' state.
  void UpdateKeyIndicators();

 signals:
  // The commands' states may have changed.
  void refreshRequested();
  // The tree lost the keyboard focus; the next control has not got it yet.
  void treeFocusLost();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool isTextField(const QWidget* widget) const;
  bool isEditor(const QWidget* widget) const;
  bool isInPlaceEditor(const QWidget* widget) const;
  // Overwrite mode: a typed character first selects the one after the caret.
  void overwriteNextCharacter(QWidget* widget, const QKeyEvent& key) const;
  void toggleInsertMode();
  QString insertModeText() const;

  Targets targets_;
  StatusPanels& status_;
  bool insertMode_ = true;
};

}  // namespace varnok::app
