// Shaping the 100,000-connection tree through the window's commands, each
// timed to a repainted tree, and its undo ("Undo tree change"); first_op_ms
// is the first operation after opening, which checks every sibling list once:
// Add child, Delete of a branch of about 10,000 nodes, Duplicate of that
// branch, a drop moving 1,000 selected nodes, Paste of the 10,000-node
// branch, Select All, and a Delete of every first-level connection (or the
// first 991) selected with a click and a Shift+click, with its undo and redo.
//   build/bench/bench_tree_editing_gui     (offscreen unless a display is set)
#include <benchmark/benchmark.h>

#include <QAction>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTest>
#include <QTreeView>

#include "qt_bench_main.h"
#include "tree/tree_model.h"
#include "window_environment.h"

namespace {

using namespace varnok;
using namespace varnok::bench;

constexpr int kBranch = 10000;

// A branch of at least `size` nodes: the first top-level connection takes
// its following siblings in as children until its subtree is that large (the
// generated file has no such branch). The history starts after it.
TreeNode* MakeBranch(app::MainWindow& window, int size) {
  ConnectionTree& tree = window.tree();
  TreeNode* branch = tree.top()->child(0);
  while (branch->subtreeSize() < size && branch->nextSibling())
    tree.move(branch->nextSibling(), branch, branch->childCount());
  window.document().history().clear();
  return branch;
}

struct Session {
  std::unique_ptr<app::MainWindow> window;
  QTreeView* view = nullptr;

  Session() {
    Env().prompter.yes = true;
    window = Env().openWindow();
    view = &window->treeView();
    view->setFocus();
  }
  QAction* action(const char* name) const { return window->findChild<QAction*>(QString::fromLatin1(name)); }
  void focus(TreeNode* node) const {
    view->setFocus();
    window->selectNode(node);
    window->refreshCommands();
  }
  // Runs the command and waits for the repainted tree; milliseconds.
  double timed(const std::function<void()>& run) const {
    QElapsedTimer clock;
    clock.start();
    run();
    Settle();
    view->viewport()->repaint();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
  }
  double trigger(const char* name) const {
    window->refreshCommands();
    QAction* a = action(name);
    if (!a->isEnabled()) return -1;
    return timed([a] { a->trigger(); });
  }
};

// Times `operation` and then "Undo tree change"; the tree must come back.
void MeasureWithUndo(benchmark::State& state, Session& s, const std::function<void()>& prepare,
                     const std::function<double()> operation) {
  double opTotal = 0, undoTotal = 0, opFirst = -1, opLast = 0;
  const int before = s.window->tree().count();
  for (auto _ : state) {
    state.PauseTiming();
    prepare();
    state.ResumeTiming();
    const double op = operation();
    const double undo = s.trigger("MnUndoTreeChange");
    state.PauseTiming();
    if (op < 0 || undo < 0) {
      state.SkipWithError(op < 0 ? "the command was disabled" : "Undo tree change was disabled");
      break;
    }
    if (s.window->tree().count() != before) {
      state.SkipWithError("the undo did not restore the tree");
      break;
    }
    opTotal += op;
    undoTotal += undo;
    opFirst = opFirst < 0 ? op : opFirst;
    opLast = op;
    state.ResumeTiming();
  }
  state.counters["op_ms"] = benchmark::Counter(opTotal, benchmark::Counter::kAvgIterations);
  state.counters["undo_ms"] = benchmark::Counter(undoTotal, benchmark::Counter::kAvgIterations);
  // The first operation after loading checks every sibling list once.
  state.counters["first_op_ms"] = opFirst;
  state.counters["last_op_ms"] = opLast;
  s.window->document().setModified(false);
}

void BM_AddChild(benchmark::State& state) {
  Session s;
  TreeNode* node = s.window->tree().top()->child(0);
  MeasureWithUndo(
      state, s, [&] { s.focus(node); }, [&] { return s.trigger("MnAddChild"); });
}

void BM_DeleteBranch(benchmark::State& state) {
  Session s;
  TreeNode* branch = MakeBranch(*s.window, kBranch);
  if (state.range(0) == 1) s.view->expandAll();
  MeasureWithUndo(
      state, s, [&] { s.focus(branch); }, [&] { return s.trigger("MnDelete"); });
  state.counters["branch_nodes"] = branch->subtreeSize();
}

void BM_DuplicateBranch(benchmark::State& state) {
  Session s;
  TreeNode* branch = MakeBranch(*s.window, kBranch);
  if (state.range(0) == 1) s.view->expandAll();
  MeasureWithUndo(
      state, s, [&] { s.focus(branch); }, [&] { return s.trigger("MnDuplicate"); });
  state.counters["branch_nodes"] = branch->subtreeSize();
  state.counters["siblings"] = branch->parent()->childCount();
}

void BM_PasteBranch(benchmark::State& state) {
  Session s;
  TreeNode* branch = MakeBranch(*s.window, kBranch);
  TreeNode* target = s.window->tree().top()->child(s.window->tree().top()->childCount() - 1);
  s.focus(branch);
  s.trigger("MnCopy");
  MeasureWithUndo(
      state, s, [&] { s.focus(target); }, [&] { return s.trigger("MnPaste"); });
  state.counters["pasted_nodes"] = branch->subtreeSize();
}

// 1,000 connections spread over the tree, dropped onto the last top-level node.
void BM_DropThousandSelected(benchmark::State& state) {
  Session s;
  ConnectionTree& tree = s.window->tree();
  TreeNode* target = tree.top()->child(tree.top()->childCount() - 1);
  std::vector<TreeNode*> picked;
  for (TreeNode* n = tree.top()->child(0); n && picked.size() < 1000; n = n->nextSibling())
    if (n != target) picked.push_back(n);
  auto select = [&] {
    s.focus(picked.front());
    QItemSelection selection;
    for (TreeNode* n : picked)
      selection.select(s.window->treeModel().indexOf(n), s.window->treeModel().indexOf(n));
    s.view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    s.view->scrollTo(s.window->treeModel().indexOf(target));
    Settle();
  };
  MeasureWithUndo(state, s, select, [&] {
    QModelIndexList indexes;
    for (TreeNode* n : picked) indexes << s.window->treeModel().indexOf(n);
    std::unique_ptr<QMimeData> mime(s.window->treeModel().mimeData(indexes));
    const QPoint at = s.view->visualRect(s.window->treeModel().indexOf(target)).center();
    return s.timed([&] {
      QDragEnterEvent enter(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(s.view->viewport(), &enter);
      QDragMoveEvent move(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(s.view->viewport(), &move);
      QDropEvent drop(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(s.view->viewport(), &drop);
    });
  });
  state.counters["moved_nodes"] = static_cast<double>(picked.size());
}

// Clicks the first first-level connection and Shift+clicks the `count`th (all
// of them for 0), as the user selects a range; returns how many are selected.
int SelectFirstLevel(Session& s, int count) {
  TreeNode* top = s.window->tree().top();
  const int last = count > 0 ? std::min(count, top->childCount()) - 1 : top->childCount() - 1;
  auto click = [&](TreeNode* n, Qt::KeyboardModifiers modifiers) {
    const QModelIndex index = s.window->treeModel().indexOf(n);
    s.view->scrollTo(index);
    QTest::mouseClick(s.view->viewport(), Qt::LeftButton, modifiers, s.view->visualRect(index).center());
  };
  s.view->setFocus();
  click(top->child(0), Qt::NoModifier);
  click(top->child(last), Qt::ShiftModifier);
  Settle();
  s.window->refreshCommands();
  return static_cast<int>(s.view->selectionModel()->selectedIndexes().size());
}

// Delete of the selected first-level connections ("Yes" to the question),
// "Undo tree change", "Redo tree change", each to a repainted tree; an undo
// outside the timing brings the tree back for the next round.
void BM_DeleteAllTopLevel(benchmark::State& state) {
  Session s;
  const int before = s.window->tree().count();
  double deleteTotal = 0, undoTotal = 0, redoTotal = 0;
  int selected = 0;
  for (auto _ : state) {
    state.PauseTiming();
    selected = SelectFirstLevel(s, static_cast<int>(state.range(0)));
    state.ResumeTiming();
    const double del = s.trigger("MnDelete");
    const int afterDelete = s.window->tree().count();
    const double undo = s.trigger("MnUndoTreeChange");
    const int afterUndo = s.window->tree().count();
    const double redo = s.trigger("MnRedoTreeChange");
    state.PauseTiming();
    const int afterRedo = s.window->tree().count();
    if (del < 0 || undo < 0 || redo < 0) {
      state.SkipWithError("Delete, Undo or Redo tree change was disabled");
      break;
    }
    if (afterDelete >= before || afterUndo != before || afterRedo != afterDelete) {
      state.SkipWithError("delete, undo and redo did not give the expected trees");
      break;
    }
    s.trigger("MnUndoTreeChange");
    if (s.window->tree().count() != before) {
      state.SkipWithError("the second undo did not restore the tree");
      break;
    }
    deleteTotal += del;
    undoTotal += undo;
    redoTotal += redo;
    state.ResumeTiming();
  }
  state.counters["delete_ms"] = benchmark::Counter(deleteTotal, benchmark::Counter::kAvgIterations);
  state.counters["undo_ms"] = benchmark::Counter(undoTotal, benchmark::Counter::kAvgIterations);
  state.counters["redo_ms"] = benchmark::Counter(redoTotal, benchmark::Counter::kAvgIterations);
  state.counters["selected"] = selected;
  s.window->document().setModified(false);
}

void BM_SelectAll(benchmark::State& state) {
  Session s;
  for (auto _ : state) {
    state.PauseTiming();
    s.focus(s.window->tree().top()->child(0));
    state.ResumeTiming();
    if (s.trigger("MnSelectAll") < 0) {
      state.SkipWithError("Select All was disabled");
      break;
    }
  }
  state.counters["selected"] = s.view->selectionModel()->selectedIndexes().size();
}

}  // namespace

BENCHMARK(BM_AddChild)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
// Argument 1: every branch expanded first (100,000 shown rows), 0: as opened.
BENCHMARK(BM_DeleteBranch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_DuplicateBranch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_PasteBranch)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_DropThousandSelected)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
// Argument: how many first-level connections are selected, 0 for all.
BENCHMARK(BM_DeleteAllTopLevel)
    ->Arg(0)
    ->Arg(991)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

int main(int argc, char** argv) { return varnok::bench::RunQtBenchmarks(argc, argv); }
