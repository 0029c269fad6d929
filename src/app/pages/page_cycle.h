#pragma once
// The cycle between the focused connection and its pages: the pages are
// loaded from the record of the node they show, Apply writes them back, and
// leaving a connection with unapplied edits (a focus change, collapsing its
// branch) asks whether to apply them first.
#include <QObject>
#include <functional>

#include "tree/tree_selection.h"

class QModelIndex;
class QTreeView;

namespace varnok {
class Clock;
class ConnectionTree;
class TreeNode;
}  // namespace varnok

namespace varnok::app {

class ConnectionPages;
class ConnectionTreeModel;
class Prompter;
class SettingsPage;

class PageCycle : public QObject {
  Q_OBJECT
 public:
  // The objects of the window this class works with.
  struct Context {
    QTreeView& view;
    ConnectionTreeModel& model;
    ConnectionPages& pages;
    const SettingsPage& settingsPage;  // whether colour support is disabled
    Prompter& prompter;
    const Clock& clock;
    const bool& loading;  // the window fills its controls: focus changes ask nothing
  };
  PageCycle(Context context, QObject* parent = nullptr);

  // Shows the focused node in the pages, or covers them, unless they hold edits.
  void ShowNodeInPages();
  // Writes the pages into `node`'s record (Apply).
  void CommitPages(TreeNode* node);
  // The Apply button: commits the focused node when the pages hold edits.
  void apply();
  // Asks whether to apply the unapplied edits of the shown node, as leaving
  // it would; false when the user cancelled. True at once without edits.
  bool settleEdits();
  // A command writes into the focused connection's pages (a template, an
  // imported macro): the pages are brought up to date for the focused node
  // first, and the write counts as an edit before any page control takes the
  // focus, so that the tree losing it cannot reload the stored record over it.
  void writeIntoPages(const std::function<void()>& write);
  // The tree lost the keyboard focus: a page control may take it next, so the
  // pages must show the focused node now, whatever the refresh timer is doing.
  void treeFocusLost() { ShowNodeInPages(); }
  // The node the pages were last loaded for (null after it was removed).
  TreeNode* shownNode() const { return shown_; }

 signals:
  void refreshRequested();
  // The Macro editor's look is due for the shown connection (its stored
  // colours or the highlighter): before its macro is loaded, after Apply.
  void editorColorsDue();
  // The shown connection's "Last updated" stamp; empty when none is shown.
  void lastUpdatedShown(const QString& stamp);
  // `node` is about to be applied: a cut or copy whose marks it carries ends.
  void aboutToApply(const TreeNode* node);

 private:
  void focusChanged(const QModelIndex& current);
  void askAfterFocusChange();
  void nodeCollapsed(const QModelIndex& index);
  void nodesAboutToBeRemoved(const QModelIndex& parent, int first, int last);
  bool ask(TreeNode* node);

  void showLastUpdated(const TreeNode* node);

  QTreeView& view_;
  ConnectionTreeModel& model_;
  ConnectionTree& tree_;
  ConnectionPages& pages_;
  const SettingsPage& settingsPage_;
  Prompter& prompter_;
  const Clock& clock_;
  const bool& loading_;
  TreeSelection selection_;
  TreeNode* shown_ = nullptr;
  bool reverting_ = false;
};

}  // namespace varnok::app
