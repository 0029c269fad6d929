#pragma once
// Keeps typing in a large text fast while no assistive tool listens.
//
// QScintilla answers every insertion and deletion with an accessibility event
// whose character offset it finds by counting the characters from the start
// of the text: some 10 ms per change in the middle of a 10 MB macro, whether
// a screen reader listens or not. While none does, the editor's after-change
// notices are switched off at the component (its modification event mask),
// which keeps that count from running. This object then sends them itself,
// from the before-change notices the component still gives: the same
// SCN_MODIFIED signal, so QScintilla's textChanged and linesChanged and every
// other listener see what they always see, with the text already changed.
//
// Such a notice goes out just before the editor handles its next event (the
// key release of a key click, a paint, a focus change), before the next change
// starts, when the event loop comes round, or on FlushTextChanges(). While an
// assistive tool is active the component sends its own notices and events as
// usual.
#include <QAccessible>
#include <QObject>

class QsciScintilla;

namespace varnok::app {

class TextChangeNotices : public QObject, private QAccessible::ActivationObserver {
  Q_OBJECT
 public:
  // Watches `editor` (its child from now on).
  explicit TextChangeNotices(QsciScintilla& editor);
  ~TextChangeNotices() override;

  // Sends the notice of a change made but not yet reported.
  void flush();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void customEvent(QEvent* event) override;

 private:
  void accessibilityActiveChanged(bool active) override;
  void setQuiet(bool quiet);
  void beforeChange(int position, int type, int length);

  struct Pending {
    int position = 0;
    int type = 0;  // SC_MOD_INSERTTEXT or SC_MOD_DELETETEXT with the performed-by flags
    int length = 0;
    long linesBefore = 0;
  };

  QsciScintilla& editor_;
  bool quiet_ = false;
  bool hasPending_ = false;
  bool flushPosted_ = false;
  Pending pending_;
};

// Sends the notice of a change of `editor` not yet reported (nothing when the
// editor has no TextChangeNotices).
void FlushTextChanges(QsciScintilla& editor);

}  // namespace varnok::app
