#include "tree/tree_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTreeView>

#include "files/node_transfer.h"
#include "files/prepared_nodes.h"
#include "model/tree_operations.h"
#include "tree/tree_model.h"

namespace varnok::app {

namespace {

QString Format(const char* name) { return QString::fromLatin1(name); }

}  // namespace

TreeClipboard::TreeClipboard(QTreeView& view, ConnectionTreeModel& model, QObject* parent)
    : QObject(parent), view_(view), model_(model), tree_(model.tree()) {
  tree_.addObserver(this);
  model_.setCutMarked([this](const TreeNode* node) { return cutPending_ && isMarked(node); });
  // Whatever replaces the cut on the clipboard ends it.
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    if (cutPending_ && !clipboardHoldsOurCut()) {
      cutPending_ = false;
      view_.viewport()->update();
    }
  });
}

TreeClipboard::~TreeClipboard() {
  model_.setCutMarked({});
  tree_.removeObserver(this);
}

bool TreeClipboard::holdsNodes() {
  const QMimeData* mime = QApplication::clipboard()->mimeData();
  return mime && mime->hasFormat(Format(kNodeClipboardFormat));
}

void TreeClipboard::put(const std::vector<TreeNode*>& selected, bool cut) {
  const std::vector<TreeNode*> roots = OutermostNodes(tree_, selected);
  if (roots.empty()) return;
  const std::string bytes = SerializeNodes(roots);
  auto* mime = new QMimeData;
  mime->setData(Format(kNodeClipboardFormat), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  static int cuts = 0;
  cutToken_ = cut ? QByteArray::number(QApplication::applicationPid()) + ':' + QByteArray::number(++cuts)
                  : QByteArray();
  if (cut) mime->setData(Format(kCutClipboardFormat), cutToken_);
  QApplication::clipboard()->setMimeData(mime);
  cutPending_ = cut;
  cutRoots_ = cut ? roots : std::vector<TreeNode*>{};
  // Only a cut is drawn; a copy of a million nodes needs no set of them.
  if (cut)
    markCutSubtrees(roots);
  else
    clearMarks();
}

// Every node below a marked one carries the mark too.
void TreeClipboard::markCutSubtrees(const std::vector<TreeNode*>& roots) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  marked_.clear();
  for (const TreeNode* root : roots)
    ConnectionTree::forEachPreOrder(root, [this](const TreeNode* n) { marked_.insert(n); });
  view_.viewport()->update();
  QApplication::restoreOverrideCursor();
}

void TreeClipboard::clearMarks() {
  cutPending_ = false;
  cutRoots_.clear();
  if (marked_.empty()) return;
  marked_.clear();
  view_.viewport()->update();
}

void TreeClipboard::clearMarksFor(const TreeNode* node) {
  if (isMarked(node)) clearMarks();
}

bool TreeClipboard::clipboardHoldsOurCut() const {
  const QMimeData* mime = QApplication::clipboard()->mimeData();
  return mime && !cutToken_.isEmpty() && mime->data(Format(kCutClipboardFormat)) == cutToken_;
}

TreeClipboard::Pasted TreeClipboard::paste(TreeNode* target) {
  const QMimeData* mime = QApplication::clipboard()->mimeData();
  if (!target || !mime || !mime->hasFormat(Format(kNodeClipboardFormat))) return {};
  if (cutPending_ && clipboardHoldsOurCut() && !cutRoots_.empty()) {
    for (const TreeNode* root : cutRoots_)
      if (root == target || root->isAncestorOf(target)) return {{}, true};
    model_.beginRearrangement();
    Pasted moved{MoveNodesInto(tree_, cutRoots_, target)};
    model_.endRearrangement();
    cutPending_ = false;
    cutRoots_.clear();
    clearMarks();
    return moved;
  }
  cutPending_ = false;
  view_.viewport()->update();
  // The worker reads its own reference to the bytes: a clipboard changed
  // meanwhile cannot take them away.
  const QByteArray bytes = mime->data(Format(kNodeClipboardFormat));
  const ChildNames siblings = CopyChildNames(PastePlaceFor(target).parent);
  PreparedNodes prepared;
  const bool finished = longWork_->run("Pasting connections ...", [&](WorkControl& control) {
    prepared = PreparePaste(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                            siblings, control);
  });
  if (!finished) return {};
  if (prepared.damaged) return {{}, false, true};
  view_.setUpdatesEnabled(false);
  Pasted pasted{PutPasted(tree_, target, std::move(prepared))};
  view_.setUpdatesEnabled(true);
  return pasted;
}

void TreeClipboard::nodesAboutToBeRemoved(TreeNode* parent, int first, int last) {
  if (marked_.empty() && cutRoots_.empty()) return;
  for (int row = first; row <= last; ++row) {
    const TreeNode* gone = parent->child(row);
    ConnectionTree::forEachPreOrder(gone, [this](const TreeNode* n) { marked_.erase(n); });
    std::erase_if(cutRoots_, [gone](const TreeNode* r) { return r == gone || gone->isAncestorOf(r); });
  }
}

void TreeClipboard::treeAboutToBeReset() {
  marked_.clear();
  cutRoots_.clear();
  cutPending_ = false;
}

}  // namespace varnok::app
