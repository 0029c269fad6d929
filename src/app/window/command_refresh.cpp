#include "window/command_refresh.h"

#include <QTreeView>

#include "commands/command_actions.h"
#include "commands/command_snapshot.h"
#include "document/document.h"
#include "model/tree_history.h"
#include "pages/connection_pages.h"
#include "pages/page_cycle.h"
#include "pages/settings_page.h"
#include "tree/tree_selection.h"
#include "window/status_panels.h"

namespace varnok::app {

CommandRefresh::CommandRefresh(Context context, QObject* parent) : QObject(parent), context_(context) {
  timer_.setSingleShot(true);
  timer_.setInterval(150);
  connect(&timer_, &QTimer::timeout, this, &CommandRefresh::now);
}

void CommandRefresh::request() {
  if (context_.loading) return;
  if (context_.tree.hasFocus())
    timer_.start();  // restarts a running timer: the tree settles its focus first
  else
    now();
}

CommandSnapshot CommandRefresh::snapshot() const {
  CommandSnapshot s = TakeSnapshot(
      {context_.tree, context_.model, context_.pageControl, context_.settingsPage, context_.pages},
      context_.document.isModified());
  s.treeCanUndo = context_.document.history().canUndo();
  s.treeCanRedo = context_.document.history().canRedo();
  return s;
}

void CommandRefresh::now() {
  timer_.stop();
  const bool treeFocus = context_.tree.hasFocus();
  if (treeFocus || context_.settingsPage.colorSupportHasFocus()) context_.cycle.ShowNodeInPages();
  if (treeFocus && !context_.selection.focused()) return;
  context_.commands.applyAll(snapshot());

  const QString caret = context_.pages.focusedEditorCaret();
  if (!caret.isEmpty()) context_.status.setText(StatusPanels::Caret, caret);
}

}  // namespace varnok::app
