#include "pages/macro_page.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QVBoxLayout>

#include "editor/cvl_highlighter.h"
#include "editor/editor_setup.h"
#include "editor/text_change_notices.h"
#include "pages/page_text.h"

namespace varnok::app {

MacroPage::MacroPage(int editorPointSize, QWidget* parent) : ConnectionPage("TS1", "TS1Panel", parent) {
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  macroEditor_ = new QsciScintilla(content);
  macroEditor_->setObjectName(QStringLiteral("Memo1"));
  gutter_ = ConfigureMacroEditor(*macroEditor_, editorPointSize);
  layout->addWidget(macroEditor_, 1);
  highlighter_ = new CvlHighlighter(macroEditor_->font(), this);
  const long caret = macroEditor_->SendScintilla(QsciScintillaBase::SCI_GETCARETFORE);  // 0xBBGGRR
  caretColor_ = QColor(static_cast<int>(caret & 0xff), static_cast<int>((caret >> 8) & 0xff),
                       static_cast<int>((caret >> 16) & 0xff));
  useHighlighter(macroEditor_->paper());

  loggingPanel_ = new QWidget(content);
  loggingPanel_->setObjectName(QStringLiteral("TS1bPanel"));
  auto* loggingLayout = new QVBoxLayout(loggingPanel_);
  loggingLayout->setContentsMargins(4, 2, 4, 2);
  loggingBox_ = new QCheckBox(QStringLiteral("Start logging when connection established"), loggingPanel_);
  loggingBox_->setObjectName(QStringLiteral("cbLogSession"));
  loggingBox_->setChecked(true);
  loggingLayout->addWidget(loggingBox_);
  layout->addWidget(loggingPanel_);
  setContent(content);

  // Only the user's typing counts: the program's loads happen without the focus.
  connect(macroEditor_, &QsciScintilla::textChanged, this, [this] {
    if (macroEditor_->hasFocus()) userEdited();
  });
  connect(loggingBox_, &QCheckBox::clicked, this, [this] { userEdited(); });
}

void MacroPage::load(const rVTNodeData& record) {
  ScopedFlag scope(loadingFlag());
  SetTextIfDifferent(*macroEditor_, Trimmed(FromStored(std::string(record.Macro))));
  loggingBox_->setChecked(record.StartLogging);
  setEdited(false);
}

void MacroPage::commit(rVTNodeData& record) const {
  record.Macro = ToStored(EditorText(*macroEditor_));
  record.StartLogging = loggingBox_->isChecked();
}

void MacroPage::clear() {
  ScopedFlag scope(loadingFlag());
  macroEditor_->clear();
  FlushTextChanges(*macroEditor_);
  loggingBox_->setChecked(true);
  setEdited(false);
}

QVariant MacroPage::state() const { return QVariantList{macroEditor_->text(), loggingBox_->isChecked()}; }

void MacroPage::restoreState(const QVariant& state) {
  const QVariantList values = state.toList();
  if (values.size() != 2) return;
  ScopedFlag scope(loadingFlag());
  SetTextIfDifferent(*macroEditor_, values[0].toString());
  loggingBox_->setChecked(values[1].toBool());
}

bool MacroPage::isMacroEmpty() const { return Trimmed(macroEditor_->text()).isEmpty(); }

bool MacroPage::startLogging() const { return loggingBox_->isChecked(); }

void MacroPage::selectToCaretLine() {
  int line = 0, index = 0;
  macroEditor_->getCursorPosition(&line, &index);
  if (line + 1 >= macroEditor_->lines()) {
    macroEditor_->selectAll(true);
    return;
  }
  // The selection ends before the line break, so the caret stays on the
  // line it was on: running "to cursor" again runs the same lines.
  const long lineEnd = macroEditor_->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                                   static_cast<unsigned long>(line));
  macroEditor_->SendScintilla(QsciScintillaBase::SCI_SETSEL, 0UL, lineEnd);
}

bool MacroPage::hasSelection() const { return macroEditor_->hasSelectedText(); }

void MacroPage::coverWithLogging(const QString& caption) {
  cover(caption);
  loggingPanel_->hide();
}

void MacroPage::uncoverWithLogging() {
  uncover();
  loggingPanel_->show();
}

void MacroPage::useHighlighter(const QColor& background) {
  if (usesHighlighter_ && highlighter_->background() == background) return;
  usesHighlighter_ = true;
  usesConnectionColors_ = false;
  highlighter_->setBackground(background);
  macroEditor_->setPaper(background);
  if (macroEditor_->lexer() != highlighter_) macroEditor_->setLexer(highlighter_);
  macroEditor_->setCaretForegroundColor(caretColor_);
  gutter_->setShown(true);
  gutter_->apply();
}

void MacroPage::useConnectionColors(const QColor& text, const QColor& background) {
  if (usesConnectionColors_ && textColor_ == text && macroEditor_->paper() == background) return;
  usesHighlighter_ = false;
  usesConnectionColors_ = true;
  textColor_ = text;
  if (macroEditor_->lexer()) {
    macroEditor_->setLexer(nullptr);
    macroEditor_->SendScintilla(QsciScintillaBase::SCI_CLEARDOCUMENTSTYLE);  // one style, the connection's
    // Without a lexer the component falls back to its own font: the editor's comes back.
    macroEditor_->setFont(highlighter_->defaultFont(0));
  }
  macroEditor_->setColor(text);
  macroEditor_->setPaper(background);
  // The caret stays visible on a dark background.
  macroEditor_->setCaretForegroundColor(text);
  gutter_->setShown(false);
}

}  // namespace varnok::app
