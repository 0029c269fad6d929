#include "tree/tree_editing.h"

#include <QItemSelectionModel>
#include <QTreeView>
#include <algorithm>

#include "dialogs/prompts.h"
#include "model/tree_history.h"
#include "model/tree_operations.h"
#include "tree/history_step.h"
#include "tree/name_delegate.h"
#include "tree/tree_clipboard.h"
#include "tree/tree_model.h"
#include "tree/tree_selection.h"
#include "tree/tree_view.h"
#include "widgets/edit_mark.h"

namespace varnok::app {

namespace {

// Suspends the view's repainting for the length of an operation.
class RepaintPause {
 public:
  explicit RepaintPause(QTreeView& view) : view_(view) { view_.setUpdatesEnabled(false); }
  ~RepaintPause() { view_.setUpdatesEnabled(true); }
  RepaintPause(const RepaintPause&) = delete;
  RepaintPause& operator=(const RepaintPause&) = delete;

 private:
  QTreeView& view_;
};

}  // namespace

TreeEditing::TreeEditing(Context context, QObject* parent)
    : QObject(parent),
      view_(context.view),
      model_(context.model),
      tree_(context.model.tree()),
      history_(context.history),
      prompter_(context.prompter),
      pageEdits_(context.pageEdits),
      colors_(context.colors) {}

template <typename Operation>
void TreeEditing::add(Operation operation) {
  TreeNode* focused = TreeSelection(view_, model_).focused();
  if (!focused) return;
  HistoryStep step(history_, TreeSelection(view_, model_));
  AddResult result;
  {
    RepaintPause pause(view_);
    result = operation(focused);
    if (!result.added) return;
    if (result.expand) view_.expand(model_.indexOf(result.expand));
  }
  TreeSelection(view_, model_).select(result.focus ? result.focus : focused);
  emit refreshRequested();
}

void TreeEditing::addChild() {
  add([this](TreeNode* n) { return AddChild(tree_, n, colors_.newConnectionColors()); });
}

void TreeEditing::addSibling() {
  add([this](TreeNode* n) { return AddSibling(tree_, n, colors_.newConnectionColors()); });
}

void TreeEditing::addSeparatorLine() {
  add([this](TreeNode* n) { return AddSeparatorLine(tree_, n, colors_.newConnectionColors()); });
}

void TreeEditing::duplicate() {
  add([this](TreeNode* n) { return Duplicate(tree_, n); });
}

void TreeEditing::removeSelected(TreeNode* parent) {
  HistoryStep step(history_, TreeSelection(view_, model_));
  {
    RepaintPause pause(view_);
    DeleteNodes(tree_, TreeSelection(view_, model_).selectedNodes());
  }
  if (parent) TreeSelection(view_, model_).select(parent);
}

void TreeEditing::deleteSelected() {
  TreeNode* focused = TreeSelection(view_, model_).focused();
  TreeNode* parent = focused ? focused->parent() : nullptr;
  if (pageEdits_.isSet() && focused) {
    // Unapplied edits: one question about them instead of the usual one.
    const bool defaultNo = DeleteDefaultsToNo(TreeSelection(view_, model_).selectedNodes());
    const PromptAnswer a =
        prompter_.askWithDefault(PromptKind::Warning, PromptButtons::YesNo, DiscardEditsQuestion(focused),
                                 defaultNo ? PromptAnswer::No : PromptAnswer::Yes);
    if (a == PromptAnswer::Yes) {
      pageEdits_.set(false);
      removeSelected(parent);
    }
  } else {
    const DeleteQuestion q = ConfirmDelete(tree_, TreeSelection(view_, model_).selectedNodes());
    bool go = q.deleteWithoutAsking;
    if (q.kind != DeleteQuestion::Kind::None) {
      const PromptKind kind =
          q.kind == DeleteQuestion::Kind::Warning ? PromptKind::Warning : PromptKind::Confirmation;
      const PromptAnswer preset = q.defaultNo ? PromptAnswer::No : PromptAnswer::Yes;
      go = prompter_.askWithDefault(kind, PromptButtons::YesNo, q.text, preset) == PromptAnswer::Yes;
    }
    if (go) removeSelected(parent);
  }
  emit refreshRequested();
}

void TreeEditing::move(MoveResult (*operation)(ConnectionTree&, TreeNode*)) {
  TreeNode* node = TreeSelection(view_, model_).focused();
  if (!node) return;
  HistoryStep step(history_, TreeSelection(view_, model_));
  MoveResult result;
  {
    RepaintPause pause(view_);
    result = operation(tree_, node);
  }
  if (!result.moved) return;
  TreeSelection(view_, model_).select(node);
  emit refreshRequested();
}

void TreeEditing::rename(TreeNode* node, const std::string& text) {
  HistoryStep step(history_, TreeSelection(view_, model_));
  const RenamePlan plan = PlanRename(node, text);
  switch (plan.step) {
    case RenameStep::Unchanged:
      return;
    case RenameStep::Refuse:
      if (!plan.message.empty()) prompter_.warning(plan.message);
      return;
    case RenameStep::Reject:
      prompter_.warning(plan.message);
      break;
    case RenameStep::AskConvert:
      if (prompter_.ask(PromptKind::Warning, PromptButtons::YesNo, plan.message) != PromptAnswer::Yes) return;
      ConvertToSeparator(tree_, node);
      break;
    case RenameStep::Rename:
      ApplyName(tree_, node, text, colors_.newConnectionColors());
      break;
  }
  emit recordsChanged();
  emit refreshRequested();
}

void TreeEditing::drop(TreeNode* target, DropMark mark, bool copy) {
  if (!CanDropSelection(TreeSelection(view_, model_), target, mark)) return;
  HistoryStep step(history_, TreeSelection(view_, model_));
  std::vector<TreeNode*> placed;
  {
    RepaintPause pause(view_);
    if (!copy) model_.beginRearrangement();
    placed = DropNodes(tree_, TreeSelection(view_, model_).selectedNodes(), target, mark, copy);
    if (!copy) model_.endRearrangement();
    if (!placed.empty()) view_.expand(model_.indexOf(placed.front()->parent()));
  }
  if (placed.empty()) return;
  TreeSelection(view_, model_).restore({placed.front(), placed});
  emit refreshRequested();
}

void TreeEditing::undo() {
  std::optional<TreeViewState> state;
  {
    RepaintPause pause(view_);
    const bool rearrange = history_.undoOnlyRearranges();
    if (rearrange) model_.beginRearrangement();
    state = history_.undo();
    if (rearrange) model_.endRearrangement();
  }
  if (state) TreeSelection(view_, model_).restore(*state);
  replayed(state.has_value());
}

void TreeEditing::redo() {
  std::optional<TreeViewState> state;
  {
    RepaintPause pause(view_);
    const bool rearrange = history_.redoOnlyRearranges();
    if (rearrange) model_.beginRearrangement();
    state = history_.redo();
    if (rearrange) model_.endRearrangement();
  }
  if (state) TreeSelection(view_, model_).restore(*state);
  replayed(state.has_value());
}

void TreeEditing::replayed(bool done) {
  if (done) emit recordsChanged();
  emit refreshRequested();
}

void TreeEditing::attachTo(ConnectionTreeView& view, TreeClipboard& clipboard) {
  auto* names = new NameDelegate(model_, &view);
  connect(names, &NameDelegate::renamed, this, &TreeEditing::rename);
  connect(names, &NameDelegate::editorOpened, &clipboard, &TreeClipboard::clearMarksFor);
  view.setItemDelegate(names);
  connect(&view, &ConnectionTreeView::dropped, this, &TreeEditing::drop);
}

void TreeEditing::moveUp() { move(MoveUp); }

void TreeEditing::moveDown() { move(MoveDown); }

}  // namespace varnok::app
