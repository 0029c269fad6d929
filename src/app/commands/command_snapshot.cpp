#include "commands/command_snapshot.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTabWidget>
#include <QTreeView>

#include "commands/focused_field.h"
#include "pages/colors_page.h"
#include "pages/connection_pages.h"
#include "pages/macro_page.h"
#include "pages/popup_page.h"
#include "pages/settings_page.h"
#include "tree/tree_clipboard.h"
#include "tree/tree_model.h"
#include "tree/tree_selection.h"

namespace varnok::app {

namespace {

void ReadFocus(const SnapshotSources& src, CommandSnapshot& s) {
  const FocusedField focused = FindFocusedField(src.tree, src.pages, src.settingsPage);
  s.focus = focused.kind;
  if (focused.editor) {
    s.textCanUndo = focused.editor->isUndoAvailable();
    s.textLength = focused.editor->length();
    s.textSelectionLength = static_cast<int>(focused.editor->selectedText().size());
  } else if (focused.field) {
    s.textCanUndo = focused.field->isUndoAvailable();
    s.textLength = static_cast<int>(focused.field->text().size());
    s.textSelectionLength = static_cast<int>(focused.field->selectedText().size());
  }
}

// Every selected node below the top node is a connection with a stored macro.
bool AllSelectedRunnable(const SnapshotSources& src) {
  for (const QModelIndex& index : src.tree.selectionModel()->selectedIndexes()) {
    const TreeNode* node = src.model.node(index);
    if (!node || node == src.model.tree().top()) continue;
    if (node->name().starts_with('-') || node->data().Macro.empty()) return false;
  }
  return true;
}

void ReadTree(const SnapshotSources& src, CommandSnapshot& s) {
  const TreeSelection selection(src.tree, src.model);
  const ConnectionTree& tree = src.model.tree();
  s.nodeCount = tree.count();
  s.selectedCount = selection.selectedCount();
  s.topSelected = selection.isSelected(tree.top());
  s.topHasChildren = tree.top()->hasChildren();
  const TreeNode* focused = selection.focused();
  s.hasFocusedNode = focused != nullptr;
  if (!focused) return;
  s.focusedIsTop = focused == tree.top();
  s.focusedSelected = selection.isSelected(focused);
  s.focusedLevel = focused->data().Level;
  const TreeNode* parent = focused->parent();
  const int row = focused->row();
  s.focusedHasPreviousSibling = parent && row > 0;
  s.focusedHasNextSibling = parent && row + 1 < parent->childCount();
  s.focusedIsSeparator = focused->isSeparator();
  s.allSelectedRunnable = AllSelectedRunnable(src);
}

PageKind ActivePage(const SnapshotSources& src) {
  QWidget* page = src.pageControl.currentWidget();
  if (page == &src.pages.macro()) return PageKind::Macro;
  if (page == static_cast<QWidget*>(&src.pages.popup())) return PageKind::Popup;
  if (page && page->objectName() == QLatin1String("TS3")) return PageKind::Colors;
  if (page && page->objectName() == QLatin1String("TS4")) return PageKind::Schedule;
  return PageKind::Settings;
}

}  // namespace

CommandSnapshot TakeSnapshot(const SnapshotSources& src, bool documentModified) {
  CommandSnapshot s;
  ReadFocus(src, s);
  ReadTree(src, s);
  if (const QMimeData* clip = QApplication::clipboard()->mimeData()) {
    s.clipboardHasText = clip->hasText();
    s.clipboardHasNodes = clip->hasFormat(QString::fromLatin1(kNodeClipboardFormat));
  }
  s.activePage = ActivePage(src);
  const MacroPage& macro = src.pages.macro();
  s.macroPageShowsConnection = macro.showsConnection();
  s.macroTextEmpty = macro.isMacroEmpty();
  s.macroHasSelection = macro.hasSelection();
  s.popupPageShowsConnection = src.pages.popup().showsConnection();
  s.popupTextEmpty = src.pages.popup().isPopupEmpty();
  const ColorsPage& colors = src.pages.colors();
  s.backgroundChosen = colors.backgroundChosen();
  s.sampleColorsAllSame = colors.backgroundsAllSame();
  s.colorsDifferFromParent = colors.differsFromParent();
  s.documentModified = documentModified;
  s.connectionModified = src.pages.isModified();
  s.filterSet = src.model.isFiltered();
  return s;
}

}  // namespace varnok::app
