#pragma once
// One undoable step around a tree operation of the window: everything the
// operation changes in the tree undoes at once, and the view's focus and
// selection from before and after it come back with the undo and the redo.
#include "model/tree_history.h"
#include "tree/tree_selection.h"

namespace varnok::app {

class HistoryStep {
 public:
  HistoryStep(TreeHistory& history, TreeSelection selection) : history_(history), selection_(selection) {
    history_.begin(selection_.state());
  }
  ~HistoryStep() { history_.end(selection_.state()); }
  HistoryStep(const HistoryStep&) = delete;
  HistoryStep& operator=(const HistoryStep&) = delete;

 private:
  TreeHistory& history_;
  TreeSelection selection_;
};

}  // namespace varnok::app
