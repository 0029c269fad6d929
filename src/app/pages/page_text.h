#pragma once
// Conversions between the record's stored texts and what the editors show.
#include <QString>
#include <string>

class QsciScintilla;

namespace varnok::app {

// A stored macro or popup text, decoded, as 8-bit text in the editors.
QString FromStored(const std::string& stored);
// The editor's text trimmed and encoded for the record.
std::string ToStored(const QString& text);
// Leading and trailing blanks and line breaks removed, as the program trims.
QString Trimmed(const QString& text);
// Replaces the editor's text only when it differs (keeps undo and caret
// otherwise); a new text is shown from its top left corner.
void SetTextIfDifferent(QsciScintilla& editor, const QString& text);

}  // namespace varnok::app
