#include "pages/page_text.h"

#include <Qsci/qsciscintilla.h>

#include "common/stored_text.h"
#include "common/trim_text.h"
#include "editor/text_change_notices.h"

namespace varnok::app {

QString FromStored(const std::string& stored) {
  std::string text = DecodeText(stored);
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStored(const QString& text) { return EncodeText(TrimText(text.toLocal8Bit().toStdString())); }

QString Trimmed(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  const std::string_view t =
      TrimTextView(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  return QString::fromLocal8Bit(t.data(), static_cast<qsizetype>(t.size()));
}

void SetTextIfDifferent(QsciScintilla& editor, const QString& text) {
  if (editor.text() == text) return;
  editor.setText(text);
  FlushTextChanges(editor);  // reported while the caller still loads
  // Another text starts at its top left, whatever the last one was scrolled to.
  editor.setCursorPosition(0, 0);
  editor.SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, 0);
  editor.setFirstVisibleLine(0);
  // The horizontal range follows the longest line of the new text only: it
  // grows again as its lines are shown.
  editor.SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
}

}  // namespace varnok::app
