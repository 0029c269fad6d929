#pragma once
// The macro and popup editors (Memo1, Memo2) are configured here, in one
// place: font, gutter, indentation, tabs as blanks, overtype on Insert,
// drag and drop, grouped undo, no right margin line.
#include <QFont>
#include <QObject>
#include <QString>

class QsciScintilla;

namespace varnok::app {

// Courier New (or the system's fixed font) at `pointSize`.
QFont EditorFont(int pointSize);

class GutterWidthFollower;

// Returns the gutter's width keeper, which the Macro page hides and shows.
GutterWidthFollower* ConfigureMacroEditor(QsciScintilla& editor, int pointSize);
void ConfigurePopupEditor(QsciScintilla& editor, int pointSize);

// The editor's text as the program stores it: lines joined by CR LF, each
// line without trailing blanks.
QString EditorText(const QsciScintilla& editor);

// Lines without trailing blanks and tabs; line breaks of any kind become CR LF.
QString WithoutTrailingBlanks(const QString& text);

// Removes the trailing blanks of a line when the user's caret leaves it.
class TrailingBlankTrimmer : public QObject {
  Q_OBJECT
 public:
  explicit TrailingBlankTrimmer(QsciScintilla& editor);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void caretMoved(int line);
  QsciScintilla& editor_;
  int lastLine_ = 0;
};

// Keeps the line-number gutter in its font and as wide as the number of lines
// needs (at least `minDigits` digits).
class GutterWidthFollower : public QObject {
  Q_OBJECT
 public:
  GutterWidthFollower(QsciScintilla& editor, int minDigits, const QFont& font);
  void update();
  // A hidden gutter has no width and does not follow the lines.
  void setShown(bool shown);
  bool isShown() const { return shown_; }
  // Sets the font and the width again (a change of lexer resets the font).
  void apply();

 private:
  QsciScintilla& editor_;
  int minDigits_;
  QFont font_;
  int digits_ = 0;
  bool shown_ = true;
};

}  // namespace varnok::app
