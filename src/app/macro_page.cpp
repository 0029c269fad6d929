#include "macro_page.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QVBoxLayout>

#include "editor_setup.h"
#include "page_text.h"

namespace varnok::app {

MacroPage::MacroPage(int editorPointSize, QWidget* parent) : ConnectionPage("TS1", "TS1Panel", parent) {
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  macroEditor_ = new QsciScintilla(content);
  macroEditor_->setObjectName(QStringLiteral("Memo1"));
  ConfigureMacroEditor(*macroEditor_, editorPointSize);
  layout->addWidget(macroEditor_, 1);

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
  if (line + 1 >= macroEditor_->lines())
    macroEditor_->selectAll(true);
  else
    macroEditor_->setSelection(0, 0, line + 1, 0);
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

}  // namespace varnok::app
