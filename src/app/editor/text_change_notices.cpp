#include "editor/text_change_notices.h"

#include <Qsci/qsciscintilla.h>

#include <QAccessibleInterface>
#include <QCoreApplication>
#include <QEvent>

namespace varnok::app {
namespace {

using Sci = QsciScintillaBase;

// The bits that say who made a change; the after-change notices carry them
// together with SC_MOD_INSERTTEXT or SC_MOD_DELETETEXT.
constexpr int kPerformedBy = Sci::SC_PERFORMED_USER | Sci::SC_PERFORMED_UNDO | Sci::SC_PERFORMED_REDO |
                             Sci::SC_MULTISTEPUNDOREDO | Sci::SC_LASTSTEPINUNDOREDO |
                             Sci::SC_MULTILINEUNDOREDO | Sci::SC_STARTACTION;
// Every notice but those after an insertion or deletion: the component passes
// a notice on when any bit of its type is in the mask.
constexpr int kQuietMask =
    Sci::SC_MODEVENTMASKALL & ~(Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT | kPerformedBy);

const QEvent::Type kFlushEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

TextChangeNotices::TextChangeNotices(QsciScintilla& editor) : QObject(&editor), editor_(editor) {
  connect(&editor_, &Sci::SCN_MODIFIED, this,
          [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
            if (quiet_ && (type & (Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_BEFOREDELETE)))
              beforeChange(position, type, length);
          });
  editor_.installEventFilter(this);
  editor_.viewport()->installEventFilter(this);
  QAccessible::installActivationObserver(this);
  setQuiet(!QAccessible::isActive());
}

TextChangeNotices::~TextChangeNotices() { QAccessible::removeActivationObserver(this); }

void FlushTextChanges(QsciScintilla& editor) {
  if (auto* notices = editor.findChild<TextChangeNotices*>(QString(), Qt::FindDirectChildrenOnly))
    notices->flush();
}

void TextChangeNotices::setQuiet(bool quiet) {
  flush();
  quiet_ = quiet;
  editor_.SendScintilla(Sci::SCI_SETMODEVENTMASK,
                        static_cast<unsigned long>(quiet ? kQuietMask : Sci::SC_MODEVENTMASKALL));
}

void TextChangeNotices::accessibilityActiveChanged(bool active) {
  setQuiet(!active);
  if (!active) return;
  // An interface made for the editor while no tool listened is the plain
  // one; dropped, the next request gets the component's full text interface.
  if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&editor_))
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void TextChangeNotices::beforeChange(int position, int type, int length) {
  flush();  // the change before this one is complete now
  const bool insert = (type & Sci::SC_MOD_BEFOREINSERT) != 0;
  pending_ = {position, (insert ? Sci::SC_MOD_INSERTTEXT : Sci::SC_MOD_DELETETEXT) | (type & kPerformedBy),
              length, editor_.SendScintilla(Sci::SCI_GETLINECOUNT)};
  hasPending_ = true;
  if (!flushPosted_) {
    flushPosted_ = true;
    QCoreApplication::postEvent(this, new QEvent(kFlushEvent), Qt::HighEventPriority);
  }
}

void TextChangeNotices::flush() {
  if (!hasPending_) return;
  hasPending_ = false;  // before sending: a listener may change the text again
  // An editor being destroyed sends events too (the focus leaving it), when
  // its component and the widgets listening to it may be gone already. It is
  // asked through the parent pointer kept since construction.
  if (!qobject_cast<const QsciScintillaBase*>(parent())) return;
  const Pending change = pending_;
  const long linesAdded = editor_.SendScintilla(Sci::SCI_GETLINECOUNT) - change.linesBefore;
  const char* inserted = nullptr;
  if (change.type & Sci::SC_MOD_INSERTTEXT)
    inserted = reinterpret_cast<const char*>(
        editor_.SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(change.position),
                              static_cast<long>(change.length)));
  const auto line = static_cast<int>(
      editor_.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(change.position)));
  emit editor_.SCN_MODIFIED(change.position, change.type, inserted, change.length,
                            static_cast<int>(linesAdded), line, 0, 0, 0, 0);
}

bool TextChangeNotices::eventFilter(QObject*, QEvent*) {
  // Whatever the editor handles next (a key release, a paint, the focus
  // about to leave) finds the last change reported.
  flush();
  return false;
}

void TextChangeNotices::customEvent(QEvent* event) {
  if (event->type() != kFlushEvent) return;
  flushPosted_ = false;
  flush();
}

}  // namespace varnok::app
