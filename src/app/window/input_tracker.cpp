#include "window/input_tracker.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/system_info.h"
#include "window/status_panels.h"

namespace varnok::app {

InputTracker::InputTracker(Targets targets, StatusPanels& status, QObject* parent)
    : QObject(parent), targets_(std::move(targets)), status_(status) {
  qApp->installEventFilter(this);
}

InputTracker::~InputTracker() { qApp->removeEventFilter(this); }

void InputTracker::UpdateKeyIndicators() {
  const platform::LockKeys keys = platform::LockKeyState();
  status_.setText(StatusPanels::Num, keys.num ? QStringLiteral("NUM") : QString());
  status_.setText(StatusPanels::Caps, keys.caps ? QStringLiteral("CAPS") : QString());
  status_.setText(StatusPanels::Scroll, keys.scroll ? QStringLiteral("SCROLL") : QString());
}

bool InputTracker::isEditor(const QWidget* widget) const {
  for (const QsciScintilla* editor : targets_.editors)
    if (widget == editor) return true;
  return false;
}

bool InputTracker::isInPlaceEditor(const QWidget* widget) const {
  return widget && widget->objectName() == QLatin1String("VTEditor") && targets_.tree &&
         targets_.tree->isAncestorOf(widget);
}

bool InputTracker::isTextField(const QWidget* widget) const {
  return isEditor(widget) || targets_.fields.contains(const_cast<QWidget*>(widget)) ||
         isInPlaceEditor(widget);
}

void InputTracker::overwriteNextCharacter(QWidget* widget, const QKeyEvent& key) const {
  auto* line = qobject_cast<QLineEdit*>(widget);
  if (!line || insertMode_ || line->hasSelectedText()) return;
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return;
  if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return;
  const QString text = key.text();
  if (text.isEmpty() || !text.front().isPrint()) return;
  const int caret = line->cursorPosition();
  if (caret < line->text().size()) line->setSelection(caret, 1);
}

QString InputTracker::insertModeText() const {
  return insertMode_ ? QStringLiteral("INS") : QStringLiteral("OVR");
}

void InputTracker::toggleInsertMode() {
  insertMode_ = !insertMode_;
  for (QsciScintilla* editor : targets_.editors) editor->setOverwriteMode(!insertMode_);
  status_.setText(StatusPanels::InsertMode, insertModeText());
}

bool InputTracker::eventFilter(QObject* watched, QEvent* event) {
  if (watched == qApp || !watched->isWidgetType()) return false;
  const QEvent::Type type = event->type();
  auto* widget = static_cast<QWidget*>(watched);
  // Mouse events of the editors and the tree arrive at their viewports.
  QWidget* parent = widget->parentWidget();
  if (type == QEvent::MouseButtonRelease && parent && (isEditor(parent) || parent == targets_.tree))
    widget = parent;
  const bool textField = isTextField(widget);
  if (type == QEvent::KeyRelease && (widget == targets_.window || targets_.window->isAncestorOf(widget))) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock) UpdateKeyIndicators();
    emit refreshRequested();
  }
  // The tree's Ctrl+C, Ctrl+X and Ctrl+V are the Edit commands' alone: when
  // those are disabled the view must not copy a node's text on its own.
  if (type == QEvent::KeyPress && widget == targets_.tree) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
        key->matches(QKeySequence::Paste))
      return true;
  }
  if (type == QEvent::KeyPress && textField) {
    auto* key = static_cast<QKeyEvent*>(event);
    const auto modifiers = key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (key->key() == Qt::Key_Insert && modifiers == 0) {
      toggleInsertMode();
      if (isEditor(widget)) return true;  // the editors' overtype was switched above
    }
    if (!isEditor(widget)) overwriteNextCharacter(widget, *key);
  }
  if (type == QEvent::FocusIn && (textField || widget == targets_.tree)) {
    status_.setText(StatusPanels::InsertMode, textField ? insertModeText() : QString());
    emit refreshRequested();
  }
  if (type == QEvent::FocusOut && widget == targets_.tree) emit treeFocusLost();
  if (type == QEvent::FocusOut && textField) {
    status_.setText(StatusPanels::InsertMode, QString());
    if (isEditor(widget)) status_.setText(StatusPanels::Caret, QString());
    emit refreshRequested();
  }
  if (type == QEvent::MouseButtonRelease && (textField || widget == targets_.tree)) emit refreshRequested();
  return false;
}

}  // namespace varnok::app
