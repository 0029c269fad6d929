#include "pages/popup_page.h"

#include <Qsci/qsciscintilla.h>

#include "editor/editor_setup.h"
#include "editor/text_change_notices.h"
#include "pages/page_text.h"

namespace varnok::app {

PopupPage::PopupPage(int editorPointSize, QWidget* parent) : ConnectionPage("TS2", "TS2Panel", parent) {
  popupEditor_ = new QsciScintilla;
  popupEditor_->setObjectName(QStringLiteral("Memo2"));
  ConfigurePopupEditor(*popupEditor_, editorPointSize);
  setContent(popupEditor_);
  connect(popupEditor_, &QsciScintilla::textChanged, this, [this] {
    if (popupEditor_->hasFocus()) userEdited();
  });
}

void PopupPage::load(const rVTNodeData& record) {
  ScopedFlag scope(loadingFlag());
  SetTextIfDifferent(*popupEditor_, FromStored(std::string(record.PopupText)));
  setEdited(false);
}

void PopupPage::commit(rVTNodeData& record) const { record.PopupText = ToStored(EditorText(*popupEditor_)); }

void PopupPage::clear() {
  ScopedFlag scope(loadingFlag());
  popupEditor_->clear();
  FlushTextChanges(*popupEditor_);
  setEdited(false);
}

QVariant PopupPage::state() const { return popupEditor_->text(); }

void PopupPage::restoreState(const QVariant& state) {
  ScopedFlag scope(loadingFlag());
  SetTextIfDifferent(*popupEditor_, state.toString());
}

bool PopupPage::isPopupEmpty() const { return Trimmed(popupEditor_->text()).isEmpty(); }

}  // namespace varnok::app
