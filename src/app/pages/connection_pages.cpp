#include "pages/connection_pages.h"

#include <Qsci/qsciscintilla.h>

#include <QTabWidget>

#include "pages/colors_page.h"
#include "pages/macro_page.h"
#include "pages/popup_page.h"
#include "pages/schedule_page.h"

namespace varnok::app {

ConnectionPages::ConnectionPages(QTabWidget& pageControl, int editorPointSize) : QObject(&pageControl) {
  macro_ = new MacroPage(editorPointSize);
  popup_ = new PopupPage(editorPointSize);
  colors_ = new ColorsPage;
  schedule_ = new SchedulePage;
  pageControl.addTab(macro_, QStringLiteral("Macro"));
  pageControl.addTab(popup_, QStringLiteral("Popup"));
  pageControl.addTab(colors_, QStringLiteral("Colors"));
  pageControl.addTab(schedule_, QStringLiteral("Schedule"));
  for (ConnectionPage* page : all()) connect(page, &ConnectionPage::edited, this, &ConnectionPages::edited);
  connect(colors_, &ColorsPage::refreshRequested, this, &ConnectionPages::refreshRequested);
  connect(schedule_, &SchedulePage::refreshRequested, this, &ConnectionPages::refreshRequested);
  connect(&modified_, &EditMark::changed, this, [this](bool on) {
    if (!on) endPageEdits();
  });
}

void ConnectionPages::setModified(bool modified) {
  modified_.set(modified);
  if (!modified) endPageEdits();
}

void ConnectionPages::endPageEdits() {
  for (ConnectionPage* page : all()) page->setEdited(false);
}

std::array<ConnectionPage*, 4> ConnectionPages::all() const { return {macro_, popup_, colors_, schedule_}; }

void ConnectionPages::cover(const QString& caption) {
  macro_->coverWithLogging(caption);
  for (ConnectionPage* page : {static_cast<ConnectionPage*>(popup_), static_cast<ConnectionPage*>(colors_),
                               static_cast<ConnectionPage*>(schedule_)})
    page->cover(caption);
}

void ConnectionPages::coverColors(const QString& caption) { colors_->cover(caption); }

void ConnectionPages::uncover() {
  macro_->uncoverWithLogging();
  popup_->uncover();
  colors_->uncover();
  schedule_->uncover();
}

void ConnectionPages::load(const rVTNodeData& record) {
  for (ConnectionPage* page : all()) page->load(record);
}

void ConnectionPages::commit(rVTNodeData& record) const {
  for (ConnectionPage* page : all()) page->commit(record);
}

void ConnectionPages::clear() {
  for (ConnectionPage* page : all()) page->clear();
}

QString ConnectionPages::focusedEditorCaret() const {
  for (QsciScintilla* editor : {&macro_->editor(), &popup_->editor()}) {
    if (!editor->hasFocus()) continue;
    int line = 0, index = 0;
    editor->getCursorPosition(&line, &index);
    return QStringLiteral("Ln. %1, Col. %2").arg(line + 1).arg(index + 1);
  }
  return {};
}

QVariantList ConnectionPages::state() const {
  QVariantList out;
  for (ConnectionPage* page : all()) out.append(page->state());
  return out;
}

void ConnectionPages::restoreState(const QVariantList& state) {
  const auto pages = all();
  for (std::size_t i = 0; i < pages.size() && i < static_cast<std::size_t>(state.size()); ++i)
    pages[i]->restoreState(state[static_cast<qsizetype>(i)]);
}

}  // namespace varnok::app
