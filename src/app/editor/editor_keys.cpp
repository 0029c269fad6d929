#include "editor/editor_keys.h"

#include <Qsci/qsciscintilla.h>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

namespace varnok::app {
namespace {

using Sci = QsciScintillaBase;

long Send(QsciScintilla& e, unsigned int message, long wParam = 0, long lParam = 0) {
  return e.SendScintilla(message, static_cast<unsigned long>(wParam), lParam);
}

bool IsBlankAt(QsciScintilla& e, long position) {
  const long ch = Send(e, Sci::SCI_GETCHARAT, position);
  return ch == ' ' || ch == '\t';
}

long LineStart(QsciScintilla& e, long line) { return Send(e, Sci::SCI_POSITIONFROMLINE, line); }
long LineEnd(QsciScintilla& e, long line) { return Send(e, Sci::SCI_GETLINEENDPOSITION, line); }
long Column(QsciScintilla& e, long position) { return Send(e, Sci::SCI_GETCOLUMN, position); }

// The nearest line above `line` holding a non-blank character; -1 if none.
long NonBlankLineAbove(QsciScintilla& e, long line) {
  for (long above = line - 1; above >= 0; --above) {
    const long end = LineEnd(e, above);
    for (long p = LineStart(e, above); p < end; ++p)
      if (!IsBlankAt(e, p)) return above;
  }
  return -1;
}

bool IsWordStart(QsciScintilla& e, long position, long lineStart) {
  return !IsBlankAt(e, position) && (position == lineStart || IsBlankAt(e, position - 1));
}

bool Plain(const QKeyEvent* key, Qt::KeyboardModifiers allowed = Qt::NoModifier) {
  return (key->modifiers() & ~(allowed | Qt::KeypadModifier)) == Qt::NoModifier;
}

}  // namespace

LineBoundaryKeys::LineBoundaryKeys(QsciScintilla& editor) : QObject(&editor), editor_(editor) {
  editor_.installEventFilter(this);
}

bool LineBoundaryKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_End && Plain(key, Qt::ShiftModifier)) {
      end(key->modifiers() & Qt::ShiftModifier);
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void LineBoundaryKeys::end(bool extend) {
  const long caret = Send(editor_, Sci::SCI_GETCURRENTPOS);
  const long line = Send(editor_, Sci::SCI_LINEFROMPOSITION, caret);
  const long start = LineStart(editor_, line);
  const long lineEnd = LineEnd(editor_, line);
  long lastText = lineEnd;
  while (lastText > start && IsBlankAt(editor_, lastText - 1)) --lastText;
  const long target = caret == lastText ? lineEnd : lastText;
  if (extend) {
    Send(editor_, Sci::SCI_SETCURRENTPOS, target);
    Send(editor_, Sci::SCI_SCROLLCARET);
  } else {
    Send(editor_, Sci::SCI_GOTOPOS, target);
  }
  Send(editor_, Sci::SCI_CHOOSECARETX);
}

SmartTabs::SmartTabs(QsciScintilla& editor) : QObject(&editor), editor_(editor) {
  editor_.installEventFilter(this);
}

bool SmartTabs::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && !editor_.isReadOnly()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (Plain(key) && !editor_.hasSelectedText()) {
      if (key->key() == Qt::Key_Tab && tab()) return true;
      if (key->key() == Qt::Key_Backspace && backspace()) return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

bool SmartTabs::tab() {
  const long caret = Send(editor_, Sci::SCI_GETCURRENTPOS);
  const long line = Send(editor_, Sci::SCI_LINEFROMPOSITION, caret);
  const long above = NonBlankLineAbove(editor_, line);
  if (above < 0) return false;
  const long column = Column(editor_, caret);
  const long end = LineEnd(editor_, above);
  long p = Send(editor_, Sci::SCI_FINDCOLUMN, above, column);
  if (p >= end || Column(editor_, p) < column) return false;
  // Past the rest of the word (or the blanks) under the caret to the next word start.
  while (p < end && !IsBlankAt(editor_, p)) ++p;
  while (p < end && IsBlankAt(editor_, p)) ++p;
  if (p >= end) return false;
  const QByteArray blanks(static_cast<qsizetype>(Column(editor_, p) - column), ' ');
  editor_.SendScintilla(Sci::SCI_ADDTEXT, static_cast<unsigned long>(blanks.size()), blanks.constData());
  Send(editor_, Sci::SCI_CHOOSECARETX);
  return true;
}

bool SmartTabs::backspace() {
  const long caret = Send(editor_, Sci::SCI_GETCURRENTPOS);
  const long line = Send(editor_, Sci::SCI_LINEFROMPOSITION, caret);
  const long start = LineStart(editor_, line);
  if (caret == start || !IsBlankAt(editor_, caret - 1)) return false;
  long blanksFrom = caret;
  while (blanksFrom > start && IsBlankAt(editor_, blanksFrom - 1)) --blanksFrom;
  const long above = NonBlankLineAbove(editor_, line);
  if (above < 0) return false;
  const long column = Column(editor_, caret);
  const long lowest = Column(editor_, blanksFrom);
  // The nearest stop left of the caret that only blanks separate from it.
  long stop = lowest == 0 ? 0 : -1;
  const long aboveStart = LineStart(editor_, above);
  const long aboveEnd = LineEnd(editor_, above);
  for (long p = aboveStart; p < aboveEnd; ++p) {
    if (!IsWordStart(editor_, p, aboveStart)) continue;
    const long c = Column(editor_, p);
    if (c >= column) break;
    if (c >= lowest) stop = std::max(stop, c);
  }
  if (stop < 0) return false;
  const long from = Send(editor_, Sci::SCI_FINDCOLUMN, line, stop);
  Send(editor_, Sci::SCI_DELETERANGE, from, caret - from);
  Send(editor_, Sci::SCI_CHOOSECARETX);
  return true;
}

ScrollHint::ScrollHint(QsciScintilla& editor) : QObject(&editor), editor_(editor) {
  QScrollBar* bar = editor_.verticalScrollBar();
  // sliderMoved comes only while the user drags the thumb.
  connect(bar, &QScrollBar::sliderMoved, this, &ScrollHint::show);
  connect(bar, &QScrollBar::sliderReleased, this, [] { QToolTip::hideText(); });
}

void ScrollHint::show(int value) {
  QScrollBar* bar = editor_.verticalScrollBar();
  const long line = Send(editor_, Sci::SCI_DOCLINEFROMVISIBLE, value) + 1;
  const QString text = QStringLiteral("Line: %1").arg(line);
  // Level with the thumb, to the left of the scroll bar.
  const int span = std::max(1, bar->maximum() - bar->minimum() + bar->pageStep());
  const int thumbTop =
      static_cast<int>(static_cast<long long>(bar->height()) * (value - bar->minimum()) / span);
  const int width = QFontMetrics(QToolTip::font()).horizontalAdvance(text) + 16;
  const QPoint at = bar->mapToGlobal(QPoint(-width, thumbTop));
  QToolTip::showText(at, text, bar);
}

}  // namespace varnok::app
