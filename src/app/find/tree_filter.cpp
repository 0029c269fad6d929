#include "find/tree_filter.h"

#include <QAction>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "pages/page_cycle.h"
#include "platform/settings_names.h"
#include "tree/tree_model.h"
#include "tree/tree_selection.h"
#include "tree/tree_view.h"

namespace varnok::app {

namespace {

// A slice of the search: this many nodes at a time, until this much time has
// passed; then the event loop takes the next keystroke.
constexpr int kSliceNodes = 4096;
constexpr qint64 kSliceMilliseconds = 8;

}  // namespace

TreeFilter::TreeFilter(Context context, QObject* parent) : QObject(parent), c_(context) {
  pane_ = new QWidget;
  pane_->setObjectName(QStringLiteral("TreePane"));
  auto* layout = new QVBoxLayout(pane_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  field_ = new QLineEdit(pane_);
  field_->setObjectName(QStringLiteral("FindField"));
  field_->setClearButtonEnabled(true);
  field_->setPlaceholderText(QStringLiteral("Find (Ctrl+F)"));
  field_->setToolTip(
      QStringLiteral("Words that all occur in a connection's path, in any letter case: lab rtr\n"
                     "host:, user:, macro:, popup: look in the host and user names, the macro or the popup\n"
                     "\"a phrase\" with blanks; -word leaves out what it matches\n"
                     "Down/Up: next/previous match; Enter: to the tree; Esc: clear; Up in an empty field: "
                     "last queries"));
  layout->addWidget(field_);
  layout->addWidget(&c_.view);
  field_->installEventFilter(this);
  connect(field_, &QLineEdit::textChanged, this, &TreeFilter::queryEdited);

  count_ = new QLabel;
  count_->setObjectName(QStringLiteral("FindCount"));
  count_->hide();
  c_.statusBar.addPermanentWidget(count_);

  auto* find = new QAction(QStringLiteral("Find"), &c_.window);
  find->setObjectName(QStringLiteral("MnFind"));
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  find->setShortcutContext(Qt::WindowShortcut);
  c_.window.addAction(find);
  connect(find, &QAction::triggered, this, &TreeFilter::focusField);

  // A search in progress starts again when the tree's structure changes
  // under it; the model has searched again itself when it was filtered.
  auto structureChanges = [this] {
    if (applying_) return;
    structureChanged_ = true;
    index_.reset();
  };
  connect(&c_.model, &QAbstractItemModel::rowsAboutToBeInserted, this, structureChanges);
  connect(&c_.model, &QAbstractItemModel::rowsAboutToBeRemoved, this, structureChanges);
  connect(&c_.model, &QAbstractItemModel::rowsAboutToBeMoved, this, structureChanges);
  connect(&c_.model, &QAbstractItemModel::layoutAboutToBeChanged, this, structureChanges);
  connect(&c_.model, &QAbstractItemModel::modelAboutToBeReset, this, structureChanges);
  // A renamed node: the index holds the names.
  connect(&c_.model, &QAbstractItemModel::dataChanged, this, [this] { index_.reset(); });
  connect(&c_.model, &ConnectionTreeModel::filterRefreshed, this, [this] {
    forgetSavedView();
    c_.view.expandBranch();
    showCount();
  });
  connect(c_.view.selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
    if (c_.model.isFiltered() && !applying_) chosen_ = true;
  });

  for (int n = 1; n <= setting::kFindHistoryCount; ++n) {
    const std::string query = c_.settings.readString(setting::FindQueryName(n), "");
    if (!query.empty()) history_.append(QString::fromLocal8Bit(query.c_str()));
  }
}

TreeFilter::~TreeFilter() = default;

bool TreeFilter::isSet() const { return c_.model.isFiltered(); }

void TreeFilter::focusField() {
  field_->setFocus(Qt::ShortcutFocusReason);
  field_->selectAll();
}

void TreeFilter::clear() {
  remember();
  recalled_ = -1;
  field_->clear();  // clears the filter
  c_.view.setFocus(Qt::OtherFocusReason);
}

void TreeFilter::queryEdited(const QString& text) {
  if (recalled_ >= 0 && text != history_.value(recalled_)) recalled_ = -1;
  FindQuery query = ParseFindQuery(text.toLocal8Bit().toStdString());
  ++generation_;
  search_.reset();
  if (query.empty()) {
    clearFilter();
    return;
  }
  structureChanged_ = false;
  search_ = std::make_unique<TreeSearch>(index(), std::move(query));
  runSlice(generation_);
}

const std::shared_ptr<const FindIndex>& TreeFilter::index() {
  if (!index_) index_ = std::make_shared<const FindIndex>(c_.model.tree());
  return index_;
}

void TreeFilter::runSlice(unsigned generation) {
  if (generation != generation_ || !search_) return;  // a newer query took over
  if (structureChanged_) {
    structureChanged_ = false;
    search_ = std::make_unique<TreeSearch>(index(), search_->query());
  }
  QElapsedTimer clock;
  clock.start();
  while (!search_->step(kSliceNodes)) {
    if (clock.elapsed() >= kSliceMilliseconds) {
      QTimer::singleShot(0, this, [this, generation] { runSlice(generation); });
      return;
    }
  }
  completeSearch();
}

void TreeFilter::finishSearch() {
  if (!search_) return;
  if (structureChanged_) runSlice(generation_);
  while (search_ && !search_->step(1 << 20)) {
  }
  if (search_) completeSearch();
}

void TreeFilter::completeSearch() {
  FindQuery query = search_->query();
  FindResult result = search_->takeResult();
  search_.reset();
  show(std::move(query), std::move(result));
}

void TreeFilter::saveView() {
  saved_ = {c_.selection.state(), {}, c_.view.verticalScrollBar()->value(), true};
  ConnectionTree::forEachPreOrder(c_.model.tree().top(), [this](const TreeNode* n) {
    if (!n->hasChildren() || !ConnectionTreeModel::opensAt(n)) return;
    if (c_.view.isExpanded(c_.model.indexOf(n)))
      saved_.expanded.push_back(n);
    else
      saved_.allOpen = false;
  });
  // Everything open (after Expand all) opens again in one pass, not node by node.
  if (saved_.allOpen) saved_.expanded = {};
}

void TreeFilter::show(FindQuery query, FindResult result) {
  applying_ = true;
  const bool entering = !c_.model.isFiltered();
  if (entering) {
    saveView();
    chosen_ = false;
  }
  TreeNode* focus = c_.selection.focused();
  c_.model.setFilter(std::move(query), std::move(result));
  c_.view.expandBranch();
  // The focused node stays focused while it is shown.
  if (focus && c_.model.indexOf(focus).isValid()) c_.selection.select(focus);
  applying_ = false;
  showCount();
}

void TreeFilter::clearFilter() {
  if (!c_.model.isFiltered()) {
    showCount();
    return;
  }
  applying_ = true;
  TreeNode* chosen = chosen_ ? c_.selection.focused() : nullptr;
  c_.model.clearFilter();
  {
    // Only what was open before opens again: no node of it lies too deep.
    const QSignalBlocker quiet(&c_.view);
    if (saved_.allOpen) c_.view.expandBranch();
    for (const TreeNode* n : saved_.expanded) c_.view.expand(c_.model.indexOf(n));
  }
  // One layout of the whole tree, here: the selection below needs it, and
  // the scroll position its height.
  c_.view.layOutPending();
  if (chosen) {
    c_.selection.select(chosen);
  } else {
    c_.selection.restore(saved_.state);
    c_.view.verticalScrollBar()->setValue(saved_.scroll);
  }
  saved_ = {};
  chosen_ = false;
  applying_ = false;
  showCount();
}

void TreeFilter::forgetSavedView() {
  // Nodes may have gone with the change: the view is not put back, the
  // focused node is kept.
  saved_ = {};
  chosen_ = true;
}

bool TreeFilter::hasFocusedMatch() const {
  const TreeNode* focused = c_.selection.focused();
  return focused && c_.model.isMatch(focused);
}

void TreeFilter::moveToMatch(int step) {
  finishSearch();
  if (!c_.model.isFiltered()) return;
  const FindResult& r = c_.model.filterResult();
  const int n = r.size();
  if (r.matchCount == 0) return;
  const int from = r.entryOf(c_.selection.focused());
  int e = from < 0 ? (step > 0 ? -1 : n) : from;
  do {
    e += step;
    if (e >= n) e = 0;
    if (e < 0) e = n - 1;
  } while (r.matched[static_cast<std::size_t>(e)] == 0);
  TreeNode* target = const_cast<TreeNode*>(r.shown[static_cast<std::size_t>(e)]);
  // Unapplied edits are asked about before the focus leaves their connection.
  if (target == c_.selection.focused() || !c_.cycle.settleEdits()) return;
  c_.selection.select(target);
  emit matchFocused();
}

void TreeFilter::recall() {
  if (history_.isEmpty()) return;
  recalled_ = (recalled_ + 1) % static_cast<int>(history_.size());
  const int keep = recalled_;
  field_->setText(history_[keep]);
  recalled_ = keep;
}

void TreeFilter::remember() {
  const QString query = field_->text().trimmed();
  if (query.isEmpty() || (!history_.isEmpty() && history_.front() == query)) return;
  history_.removeAll(query);
  history_.prepend(query);
  while (history_.size() > setting::kFindHistoryCount) history_.removeLast();
  std::vector<platform::SettingWrite> writes;
  for (int n = 1; n <= setting::kFindHistoryCount; ++n)
    writes.push_back({setting::FindQueryName(n),
                      n <= history_.size() ? history_[n - 1].toLocal8Bit().toStdString() : std::string()});
  c_.settings.write(writes);
}

void TreeFilter::showCount() {
  if (!c_.model.isFiltered()) {
    count_->hide();
    return;
  }
  const QLocale english(QLocale::English);
  count_->setText(QStringLiteral("%1 of %2")
                      .arg(english.toString(c_.model.filterResult().matchCount),
                           english.toString(c_.model.tree().count() - 1)));
  count_->show();
}

bool TreeFilter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != field_) return false;
  if (event->type() == QEvent::ShortcutOverride) {
    // F8/F9 with or without Ctrl run the focused match: the first one when
    // the user has not gone to one yet. The run itself is the window's.
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_F9 || key->key() == Qt::Key_F8) && c_.model.isFiltered()) {
      if (!hasFocusedMatch()) moveToMatch(1);
      remember();
    }
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Down:
      moveToMatch(1);
      remember();
      return true;
    case Qt::Key_Up:
      if (field_->text().isEmpty() || recalled_ >= 0) {
        recall();
      } else {
        moveToMatch(-1);
        remember();
      }
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!hasFocusedMatch()) moveToMatch(1);
      if (hasFocusedMatch()) {
        remember();
        c_.view.setFocus(Qt::OtherFocusReason);
      }
      return true;
    case Qt::Key_Escape:
      clear();
      return true;
    default:
      return false;
  }
}

}  // namespace varnok::app
