#include "commands/edit_commands.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QClipboard>
#include <QItemSelection>
#include <QLineEdit>
#include <QMimeData>
#include <QTreeView>

#include "commands/focused_field.h"
#include "dialogs/prompts.h"
#include "model/tree_history.h"
#include "pages/connection_pages.h"
#include "pages/page_cycle.h"
#include "pages/schedule_page.h"
#include "tree/history_step.h"
#include "tree/tree_clipboard.h"
#include "tree/tree_model.h"
#include "tree/tree_selection.h"

namespace varnok::app {

EditCommands::EditCommands(Context context, QObject* parent) : QObject(parent), context_(context) {}

FocusedField EditCommands::focused() const {
  return FindFocusedField(context_.tree, context_.pages, context_.settingsPage);
}

void EditCommands::markEdited(const FocusedField& field) {
  if (field.kind == FocusKind::MacroEditor || field.kind == FocusKind::PopupEditor ||
      field.kind == FocusKind::ScheduleField)
    context_.pages.setModified(true);
  else if (field.kind == FocusKind::InPlaceEditor)
    emit nameEdited();
}

void EditCommands::undo() {
  const FocusedField f = focused();
  if (f.editor) f.editor->undo();
  if (f.field) f.field->undo();
  markEdited(f);  // the tree: nothing, its changes have their own undo
  emit refreshRequested();
}

void EditCommands::cut() {
  const FocusedField f = focused();
  if (f.kind == FocusKind::Tree) {
    putNodes(true);
  } else {
    if (f.editor) f.editor->cut();
    if (f.field) f.field->cut();
    markEdited(f);
  }
  emit refreshRequested();
}

void EditCommands::copy() {
  const FocusedField f = focused();
  if (f.kind == FocusKind::Tree) putNodes(false);
  if (f.editor) f.editor->copy();
  if (f.field) f.field->copy();
  emit refreshRequested();
}

void EditCommands::paste() {
  const FocusedField f = focused();
  if (f.kind == FocusKind::Tree) {
    if (TreeClipboard::holdsNodes()) pasteNodes();
    return;
  }
  if (!QApplication::clipboard()->mimeData() || !QApplication::clipboard()->mimeData()->hasText()) return;
  if (f.editor) f.editor->paste();
  if (f.kind == FocusKind::ScheduleField)
    context_.pages.schedule().pasteInto(*f.field);  // the field ends verified
  else if (f.field)
    f.field->paste();
  markEdited(f);
  emit refreshRequested();
}

void EditCommands::selectAll() {
  const FocusedField f = focused();
  if (f.kind == FocusKind::Tree) {
    // Leaving the focused connection's unapplied edits asks about them first.
    if (context_.pages.isModified() && !context_.cycle.settleEdits()) return;
    selectAllNodes();
  }
  if (f.editor) f.editor->selectAll(true);
  if (f.field) f.field->selectAll();
  emit refreshRequested();
}

void EditCommands::putNodes(bool cut) {
  TreeSelection selection(context_.tree, context_.model);
  if (!selection.focused()) return;
  context_.clipboard.put(selection.selectedNodes(), cut);
}

void EditCommands::pasteNodes() {
  TreeSelection selection(context_.tree, context_.model);
  TreeNode* target = selection.focused();
  if (!target || selection.selectedCount() == 0) return;
  TreeClipboard::Pasted pasted;
  {
    HistoryStep step(context_.history, selection);
    // The tree keeps painting while a long paste is read.
    pasted = context_.clipboard.paste(target);
    context_.tree.setUpdatesEnabled(false);
    if (!pasted.nodes.empty()) context_.tree.expand(context_.model.indexOf(pasted.nodes.front()->parent()));
    context_.tree.setUpdatesEnabled(true);
  }
  if (pasted.refusedIntoItself)
    context_.prompter.warning("Connections cannot be moved into their own branch.");
  else if (pasted.damaged)
    context_.prompter.warning("The clipboard holds no connections that can be pasted.");
  if (pasted.nodes.empty()) return;
  emit refreshRequested();
}

// Every node, those inside collapsed branches too: one range per parent.
void EditCommands::selectAllNodes() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ConnectionTreeModel& model = context_.model;
  const TreeNode* top = model.tree().top();
  QItemSelection all;
  all.select(model.indexOf(top), model.indexOf(top));
  ConnectionTree::forEachPreOrder(top, [&](const TreeNode* n) {
    if (n->hasChildren()) all.select(model.indexOf(n->firstChild()), model.indexOf(n->lastChild()));
  });
  TreeSelection(context_.tree, context_.model).replaceSelection(all);
  QApplication::restoreOverrideCursor();
}

}  // namespace varnok::app
