#include "editor/editor_setup.h"

#include <Qsci/qsciscintilla.h>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

#include "editor/editor_keys.h"
#include "editor/text_change_notices.h"

namespace varnok::app {

QFont EditorFont(int pointSize) {
  QFont font;
  font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                    QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSize(pointSize);
  return font;
}

namespace {

// QScintilla's accessible interface recounts the characters from the start of
// the text to the caret after every caret move and edit, which makes typing
// in a large macro slow; Qt creates that interface for every editor shown,
// whether an assistive tool listens or not. Without one, the editors get a
// plain interface; with one, the component's full text interface.
QAccessibleInterface* EditorAccessible(const QString& className, QObject* object) {
  if (QAccessible::isActive() || className != QLatin1String("QsciScintilla")) return nullptr;
  auto* editor = qobject_cast<QsciScintilla*>(object);
  return editor ? new QAccessibleWidget(editor, QAccessible::EditableText) : nullptr;
}

void ConfigureCommon(QsciScintilla& e, int pointSize) {
  // After the component's own factory, so that this one is asked first.
  static const bool accessibleInstalled = (QAccessible::installFactory(&EditorAccessible), true);
  (void)accessibleInstalled;
  e.setUtf8(true);
  e.setEolMode(QsciScintilla::EolWindows);
  e.setFont(EditorFont(pointSize));
  e.setEdgeMode(QsciScintilla::EdgeNone);
  e.setAutoIndent(true);
  e.setIndentationsUseTabs(false);
  e.setTabIndents(true);
  e.setBackspaceUnindents(true);
  e.setWrapMode(QsciScintilla::WrapNone);
  e.setCaretLineVisible(false);
  e.setBraceMatching(QsciScintilla::NoBraceMatch);
  e.setAutoCompletionSource(QsciScintilla::AcsNone);
  e.setFolding(QsciScintilla::NoFoldStyle);
  // The horizontal scroll range grows with the longest line.
  e.SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
  e.SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1);
  // Home moves between the first non-blank character and the line start;
  // End is LineBoundaryKeys.
  e.SendScintilla(QsciScintillaBase::SCI_ASSIGNCMDKEY, QsciScintillaBase::SCK_HOME,
                  QsciScintillaBase::SCI_VCHOMEWRAP);
  e.setMarginWidth(1, 0);
  e.setMarginWidth(2, 0);
  new TrailingBlankTrimmer(e);
  new LineBoundaryKeys(e);
  new SmartTabs(e);
  new ScrollHint(e);
  new TextChangeNotices(e);
}

}  // namespace

GutterWidthFollower* ConfigureMacroEditor(QsciScintilla& e, int pointSize) {
  ConfigureCommon(e, pointSize);
  e.setMarginType(0, QsciScintilla::NumberMargin);
  e.setMarginLineNumbers(0, true);
  return new GutterWidthFollower(e, 2, EditorFont(8));
}

void ConfigurePopupEditor(QsciScintilla& e, int pointSize) {
  ConfigureCommon(e, pointSize);
  e.setMarginType(0, QsciScintilla::NumberMargin);
  e.setMarginLineNumbers(0, false);
  e.setMarginWidth(0, 0);
}

QString WithoutTrailingBlanks(const QString& text) {
  static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
  QStringList lines = text.split(lineBreak);
  for (QString& line : lines) {
    qsizetype end = line.size();
    while (end > 0 && (line[end - 1] == QLatin1Char(' ') || line[end - 1] == QLatin1Char('\t'))) --end;
    line.truncate(end);
  }
  return lines.join(QStringLiteral("\r\n"));
}

QString EditorText(const QsciScintilla& editor) { return WithoutTrailingBlanks(editor.text()); }

TrailingBlankTrimmer::TrailingBlankTrimmer(QsciScintilla& editor) : QObject(&editor), editor_(editor) {
  connect(&editor_, &QsciScintilla::cursorPositionChanged, this, [this](int line, int) { caretMoved(line); });
  editor_.installEventFilter(this);
}

bool TrailingBlankTrimmer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !editor_.hasSelectedText()) {
      // The blanks before the caret would end the line that the new line break closes.
      const long caret = editor_.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
      long from = caret;
      while (from > 0) {
        const long ch =
            editor_.SendScintilla(QsciScintillaBase::SCI_GETCHARAT, static_cast<unsigned long>(from - 1));
        if (ch != ' ' && ch != '\t') break;
        --from;
      }
      const long lineStart = editor_.SendScintilla(
          QsciScintillaBase::SCI_POSITIONFROMLINE,
          static_cast<unsigned long>(editor_.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                                           static_cast<unsigned long>(caret))));
      // A line of blanks only keeps them: they are the indentation of the next line.
      if (from < caret && from > lineStart)
        editor_.SendScintilla(QsciScintillaBase::SCI_DELETERANGE, static_cast<unsigned long>(from),
                              caret - from);
    }
  }
  return QObject::eventFilter(watched, event);
}

void TrailingBlankTrimmer::caretMoved(int line) {
  const int left = lastLine_;
  lastLine_ = line;
  if (left == line || !editor_.hasFocus() || left >= editor_.lines()) return;
  QString text = editor_.text(left);
  qsizetype end = text.size();
  while (end > 0 && (text[end - 1] == QLatin1Char('\r') || text[end - 1] == QLatin1Char('\n'))) --end;
  qsizetype keep = end;
  while (keep > 0 && (text[keep - 1] == QLatin1Char(' ') || text[keep - 1] == QLatin1Char('\t'))) --keep;
  if (keep == end) return;
  // Blanks are one byte each; deleting a range leaves the caret where it is
  // (it sits on another line).
  const long lineEnd =
      editor_.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(left));
  const long count = static_cast<long>(end - keep);
  editor_.SendScintilla(QsciScintillaBase::SCI_DELETERANGE, static_cast<unsigned long>(lineEnd - count),
                        count);
}

GutterWidthFollower::GutterWidthFollower(QsciScintilla& editor, int minDigits, const QFont& font)
    : QObject(&editor), editor_(editor), minDigits_(minDigits), font_(font) {
  connect(&editor_, &QsciScintilla::linesChanged, this, &GutterWidthFollower::update);
  apply();
}

void GutterWidthFollower::setShown(bool shown) {
  if (shown == shown_) return;
  shown_ = shown;
  if (shown_)
    apply();
  else
    editor_.setMarginWidth(0, 0);
}

void GutterWidthFollower::apply() {
  editor_.setMarginsFont(font_);
  digits_ = 0;
  update();
}

void GutterWidthFollower::update() {
  if (!shown_) return;
  const int digits =
      std::max(minDigits_, static_cast<int>(QString::number(std::max(1, editor_.lines())).size()));
  if (digits == digits_) return;
  digits_ = digits;
  editor_.setMarginWidth(0, QString(digits + 1, QLatin1Char('0')));
}

}  // namespace varnok::app
