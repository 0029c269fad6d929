#pragma once
// The find filter of the tree: a field above the tree whose query
// (model/find_query.h) narrows the tree to the matching connections and the
// branches that hold them, all open. Ctrl+F focuses the field; typing
// searches the whole tree in slices, so that a keystroke never waits for a
// search that the next one replaces; the status bar counts the matches.
// From the field, Down and Up move the focus through the matches (asking
// about unapplied page edits first, as leaving a connection does), Enter
// hands the focus to the tree, F9 and Ctrl+F9 run the focused match, Esc
// clears the filter and gives the tree back its focus, open branches and
// selection as they were, or focuses the match the user went to. Up in an
// empty field recalls the last queries, kept in the settings.
#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

#include "model/tree_history.h"
#include "model/tree_search.h"

class QLabel;
class QLineEdit;
class QStatusBar;
class QWidget;

namespace varnok {
namespace platform {
class SettingsStore;
}
}  // namespace varnok

namespace varnok::app {

class ConnectionTreeModel;
class ConnectionTreeView;
class PageCycle;
class TreeSelection;

class TreeFilter : public QObject {
  Q_OBJECT
 public:
  struct Context {
    QWidget& window;  // takes the Ctrl+F shortcut
    QStatusBar& statusBar;
    ConnectionTreeView& view;
    ConnectionTreeModel& model;
    TreeSelection& selection;
    PageCycle& cycle;
    platform::SettingsStore& settings;
  };
  TreeFilter(Context context, QObject* parent = nullptr);
  ~TreeFilter() override;

  // The tree with the field above it, for the window's layout.
  QWidget* pane() const { return pane_; }
  QLineEdit& field() const { return *field_; }
  bool isSet() const;
  void focusField();
  // Clears the field and the filter; the tree takes the focus.
  void clear();
  // The kept queries, newest first.
  const QStringList& history() const { return history_; }
  // Runs the search still in progress to its end at once (tests, benchmarks).
  void finishSearch();

 signals:
  // A match became the focused node from the field: the commands' states follow.
  void matchFocused();

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void queryEdited(const QString& text);
  void runSlice(unsigned generation);
  void completeSearch();
  void show(FindQuery query, FindResult result);
  void saveView();
  void clearFilter();
  void moveToMatch(int step);
  bool hasFocusedMatch() const;
  void recall();
  void remember();
  void showCount();
  void forgetSavedView();
  const std::shared_ptr<const FindIndex>& index();

  Context c_;
  QWidget* pane_ = nullptr;
  QLineEdit* field_ = nullptr;
  QLabel* count_ = nullptr;
  // Kept from one query to the next until the tree's structure or a name changes.
  std::shared_ptr<const FindIndex> index_;
  std::unique_ptr<TreeSearch> search_;
  unsigned generation_ = 0;  // of the newest query; older slices stop
  bool structureChanged_ = false;
  // The view before the filter was set, put back when it is cleared.
  struct SavedView {
    TreeViewState state;
    std::vector<const TreeNode*> expanded;  // empty when allOpen
    int scroll = 0;
    bool allOpen = false;  // every node the view opens was open
  } saved_;
  bool chosen_ = false;    // the user went to a node of the filtered tree
  bool applying_ = false;  // the filter itself moves the focus
  QStringList history_;
  int recalled_ = -1;  // the history entry shown in the field, or -1
};

}  // namespace varnok::app
