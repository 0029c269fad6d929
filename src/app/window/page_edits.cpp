#include "window/page_edits.h"

#include "commands/command_actions.h"
#include "pages/connection_pages.h"
#include "pages/page_cycle.h"
#include "tree/tree_selection.h"

namespace varnok::app {

// The pages belong to the node they were loaded for, else to the focused one.
TreeNode* PageEdits::node() const {
  TreeNode* shown = context_->cycle.shownNode();
  return shown ? shown : context_->selection.focused();
}

std::optional<std::string> PageEdits::connectionName() const {
  if (!context_ || !context_->pages.isModified()) return std::nullopt;
  const TreeNode* n = node();
  if (!n || !n->parent()) return std::nullopt;
  return std::string(n->name());
}

void PageEdits::apply() {
  if (!context_) return;
  context_->commands.disableButton(Command::Apply);
  context_->cycle.CommitPages(node());
}

void PageEdits::discard() {
  if (!context_) return;
  context_->pages.setModified(false);
  context_->cycle.ShowNodeInPages();  // the discarded text does not stay on view
}

}  // namespace varnok::app
