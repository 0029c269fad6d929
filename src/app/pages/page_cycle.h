#pragma once
// The cycle between the focused connection and its pages: the pages are
// loaded from the record of the node they show, Apply writes them back, and
// leaving a connection with unapplied edits (a focus change, collapsing its
// branch) asks whether to apply them first.
#include <QObject>
#include <functional>
#include <string>

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

// What the cycle needs of the window.
class PageCycleHost {
 public:
  virtual ~PageCycleHost() = default;
  virtual bool isLoading() const = 0;
  virtual void setConnectionModified(bool on) = 0;
  virtual void requestRefresh() = 0;
  virtual void markDocumentModified() = 0;
  virtual bool colorSupportDisabled() const = 0;
  // The Macro editor's look for the shown connection (its stored colours or
  // the highlighter).
  virtual void showEditorColors() = 0;
  // Status panel 0; an empty stamp clears it.
  virtual void showLastUpdated(const std::string& stamp) = 0;
  // `node` is being applied: a cut or copy whose marks it carries ends.
  virtual void clearClipboardMarksFor(const TreeNode* node) = 0;
};

class PageCycle : public QObject {
  Q_OBJECT
 public:
  PageCycle(PageCycleHost& host, QTreeView& view, ConnectionTreeModel& model, ConnectionPages& pages,
            Prompter& prompter, const Clock& clock, QObject* parent = nullptr);

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

 private:
  void focusChanged(const QModelIndex& current);
  void askAfterFocusChange();
  void nodeCollapsed(const QModelIndex& index);
  void nodesAboutToBeRemoved(const QModelIndex& parent, int first, int last);
  bool ask(TreeNode* node);

  PageCycleHost& host_;
  QTreeView& view_;
  ConnectionTreeModel& model_;
  ConnectionTree& tree_;
  ConnectionPages& pages_;
  Prompter& prompter_;
  const Clock& clock_;
  TreeSelection selection_;
  TreeNode* shown_ = nullptr;
  bool reverting_ = false;
};

}  // namespace varnok::app
