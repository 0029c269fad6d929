#include "model/tree_history.h"

#include <utility>

namespace varnok {

// One recorded change, kept in the form that undoes it. Replaying a change
// turns it into the change that undoes the replay, so the same list serves
// undo (walked backwards) and redo (walked forwards).
struct TreeHistory::Change {
  enum class Kind {
    Placed,    // `count` nodes stand at `row` of `parent`: replay takes them out
    Unplaced,  // `held` nodes belong at `row` of `parent`: replay puts them back
    Moved,     // `node` came from `row` of `parent`: replay moves it back
    Data,      // `node` had the record `data`: replay swaps it back
    Name,      // `node` had the name `name`: replay swaps it back
  };
  Kind kind = Kind::Placed;
  TreeNode* node = nullptr;
  TreeNode* parent = nullptr;
  int row = 0;
  int count = 0;
  std::vector<std::unique_ptr<TreeNode>> held;
  // Only Data changes keep a record: a name change (a million of them in
  // one import that renames) stays a few dozen bytes.
  std::unique_ptr<rVTNodeData> data;
  std::string name;
};

struct TreeHistory::Step {
  std::vector<Change> changes;
  TreeViewState before;
  TreeViewState after;
  std::size_t bytes = 0;  // as last counted by bytesOf
};

namespace {

// Bytes of a text outside the string object itself (none for a short one).
template <typename Text>
std::size_t TextBytes(const Text& s) {
  const char* inside = reinterpret_cast<const char*>(&s);
  if (s.data() >= inside && s.data() < inside + sizeof(s)) return 0;
  return s.capacity() + 1;
}

// A node's texts, packed in one piece.
std::size_t PackedBytes(const rVTNodeView& d) {
  return d.Name.size() + d.Macro.size() + d.PopupText.size() + d.Schedule.size() + d.LastUpdated.size() +
         d.Colors.size();
}

std::size_t RecordBytes(const rVTNodeData& d) {
  return TextBytes(d.Name) + TextBytes(d.Macro) + TextBytes(d.PopupText) + TextBytes(d.Schedule) +
         TextBytes(d.LastUpdated) + TextBytes(d.Colors);
}

std::size_t SubtreeBytes(const TreeNode* root) {
  std::size_t bytes = 0;
  ConnectionTree::forEachPreOrder(root, [&bytes](const TreeNode* n) {
    bytes +=
        sizeof(TreeNode) + sizeof(void*) * static_cast<std::size_t>(n->childCount()) + PackedBytes(n->data());
  });
  return bytes;
}

}  // namespace

TreeHistory::TreeHistory(ConnectionTree& tree, std::size_t limit, std::size_t byteBudget)
    : tree_(tree), limit_(limit == 0 ? 1 : limit), byteBudget_(byteBudget) {
  tree_.setRecorder(this);
}

std::size_t TreeHistory::bytesOf(const Step& step) {
  std::size_t bytes = sizeof(Step) + sizeof(Change) * step.changes.capacity();
  for (const Change& c : step.changes) {
    for (const auto& n : c.held) bytes += SubtreeBytes(n.get());
    if (c.data) bytes += sizeof(rVTNodeData) + RecordBytes(*c.data);
    bytes += TextBytes(c.name);
  }
  return bytes;
}

// A replayed step holds other nodes than before (an undone insert keeps its
// nodes, an undone removal gave them back).
void TreeHistory::recount(Step& step) {
  heldBytes_ -= step.bytes;
  step.bytes = bytesOf(step);
  heldBytes_ += step.bytes;
}

// The oldest steps go while either bound is passed; no later step refers to
// the nodes they kept, as those were out of the tree for every later step.
// The newest step stays, so the last command can always be undone.
void TreeHistory::trim() {
  std::size_t drop = 0;
  std::size_t held = heldBytes_;
  while (drop + 1 < undo_.size() && (undo_.size() - drop > limit_ || held > byteBudget_)) {
    held -= undo_[drop]->bytes;
    ++drop;
  }
  if (drop == 0) return;
  heldBytes_ = held;
  undo_.erase(undo_.begin(), undo_.begin() + static_cast<std::ptrdiff_t>(drop));
}

TreeHistory::~TreeHistory() {
  if (tree_.recorder() == this) tree_.setRecorder(nullptr);
}

void TreeHistory::begin(TreeViewState before) {
  if (depth_++ > 0) return;
  open_ = std::make_unique<Step>();
  open_->before = std::move(before);
}

void TreeHistory::end(TreeViewState after) {
  if (depth_ == 0 || --depth_ > 0) return;
  std::unique_ptr<Step> step = std::move(open_);
  if (!step || step->changes.empty()) return;
  step->after = std::move(after);
  for (const auto& r : redo_) heldBytes_ -= r->bytes;
  redo_.clear();
  step->bytes = bytesOf(*step);
  heldBytes_ += step->bytes;
  undo_.push_back(std::move(step));
  trim();
  if (changed) changed();
}

void TreeHistory::add(Change change) {
  if (open_) {
    open_->changes.push_back(std::move(change));
    return;
  }
  // A change outside any group is a step of its own.
  begin(viewState ? viewState() : TreeViewState{});
  open_->changes.push_back(std::move(change));
  end(viewState ? viewState() : TreeViewState{});
}

void TreeHistory::recordInserted(TreeNode* parent, int first, int count) {
  Change c;
  c.kind = Change::Kind::Placed;
  c.parent = parent;
  c.row = first;
  c.count = count;
  add(std::move(c));
}

void TreeHistory::recordRemoved(TreeNode* parent, int first, std::vector<std::unique_ptr<TreeNode>> nodes) {
  Change c;
  c.kind = Change::Kind::Unplaced;
  c.parent = parent;
  c.row = first;
  c.held = std::move(nodes);
  add(std::move(c));
}

void TreeHistory::recordMoved(TreeNode* node, TreeNode* fromParent, int fromRow) {
  Change c;
  c.kind = Change::Kind::Moved;
  c.node = node;
  c.parent = fromParent;
  c.row = fromRow;
  add(std::move(c));
}

void TreeHistory::recordDataChanged(TreeNode* node, rVTNodeData before) {
  Change c;
  c.kind = Change::Kind::Data;
  c.node = node;
  c.data = std::make_unique<rVTNodeData>(std::move(before));
  add(std::move(c));
}

void TreeHistory::recordNameChanged(TreeNode* node, std::string before) {
  Change c;
  c.kind = Change::Kind::Name;
  c.node = node;
  c.name = std::move(before);
  add(std::move(c));
}

void TreeHistory::recordReset() { clear(); }

bool TreeHistory::onlyRearranges(const Step& step) {
  for (const Change& c : step.changes)
    if (c.kind == Change::Kind::Placed || c.kind == Change::Kind::Unplaced) return false;
  return true;
}

void TreeHistory::clear() {
  undo_.clear();
  redo_.clear();
  heldBytes_ = 0;
  if (open_) open_->changes.clear();
}

void TreeHistory::replay(Step& step, bool backwards) {
  tree_.setRecorder(nullptr);
  auto apply = [this](Change& c) {
    switch (c.kind) {
      case Change::Kind::Placed:
        c.held = tree_.takeRange(c.parent, c.row, c.count);
        c.kind = Change::Kind::Unplaced;
        break;
      case Change::Kind::Unplaced:
        c.count = static_cast<int>(c.held.size());
        tree_.insertRange(c.parent, c.row, std::move(c.held));
        c.held.clear();
        c.kind = Change::Kind::Placed;
        break;
      case Change::Kind::Moved: {
        TreeNode* parent = c.node->parent();
        const int row = c.node->row();
        // move() counts the destination before the node leaves its place.
        const int dest = (parent == c.parent && c.row > row) ? c.row + 1 : c.row;
        tree_.move(c.node, c.parent, dest);
        c.parent = parent;
        c.row = row;
        break;
      }
      case Change::Kind::Data: {
        rVTNodeData now = c.node->data();
        tree_.setData(c.node, std::move(*c.data));
        *c.data = std::move(now);
        break;
      }
      case Change::Kind::Name: {
        std::string now(c.node->name());
        tree_.setName(c.node, std::move(c.name));
        c.name = std::move(now);
        break;
      }
    }
  };
  if (backwards) {
    for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it) apply(*it);
  } else {
    for (Change& c : step.changes) apply(c);
  }
  tree_.setRecorder(this);
}

std::optional<TreeViewState> TreeHistory::undo() {
  if (undo_.empty() || depth_ > 0) return std::nullopt;
  std::unique_ptr<Step> step = std::move(undo_.back());
  undo_.pop_back();
  replay(*step, /*backwards=*/true);
  recount(*step);
  TreeViewState state = step->before;
  redo_.push_back(std::move(step));
  if (changed) changed();
  return state;
}

std::optional<TreeViewState> TreeHistory::redo() {
  if (redo_.empty() || depth_ > 0) return std::nullopt;
  std::unique_ptr<Step> step = std::move(redo_.back());
  redo_.pop_back();
  replay(*step, /*backwards=*/false);
  recount(*step);
  TreeViewState state = step->after;
  undo_.push_back(std::move(step));
  trim();
  if (changed) changed();
  return state;
}

}  // namespace varnok
