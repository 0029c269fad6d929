// The item model over the core tree, checked by QAbstractItemModelTester
// through every kind of change the tree announces.
#include "tree/tree_model.h"

#include <QAbstractItemModelTester>
#include <QIcon>
#include <QTest>
#include <QTreeView>
#include <random>

#include "files/vnk_file.h"
#include "tree/tree_view.h"
#include "tree_helpers.h"

using namespace varnok;
using namespace varnok::app;

class TreeModelTest : public QObject {
  Q_OBJECT

 private slots:
  void textAndImages() {
    ConnectionTree tree;
    ConnectionTreeModel model(tree, "box7");
    TreeNode* plain = test::Add(tree, tree.top(), "plain");
    TreeNode* withMacro = test::Add(tree, tree.top(), "with macro");
    tree.edit(withMacro, [](rVTNodeData& d) { d.Macro = "ls"; });
    TreeNode* separator = test::Add(tree, tree.top(), "-");
    QCOMPARE(model.text(tree.top()), QStringLiteral("This computer (box7)"));
    QCOMPARE(model.data(model.indexOf(withMacro)).toString(), QStringLiteral("with macro"));
    QCOMPARE(ConnectionTreeModel::imageIndex(tree.top(), false), 0);
    QCOMPARE(ConnectionTreeModel::imageIndex(plain, false), 1);
    QCOMPARE(ConnectionTreeModel::imageIndex(withMacro, false), 2);
    QCOMPARE(ConnectionTreeModel::imageIndex(separator, false), 3);
    QCOMPARE(ConnectionTreeModel::imageIndex(plain, true), 4);
    QCOMPARE(ConnectionTreeModel::imageIndex(withMacro, true), 5);
    QCOMPARE(ConnectionTreeModel::imageIndex(separator, true), 6);
    model.setCutMarked([&](const TreeNode* n) { return n == plain; });
    const QIcon cut = model.data(model.indexOf(plain), Qt::DecorationRole).value<QIcon>();
    QVERIFY(!cut.isNull());
    // The pictures stay sharp at 200 %: the SVGs render at any size.
    QCOMPARE(cut.pixmap(QSize(16, 18), 2.0).deviceIndependentSize().toSize(), QSize(16, 18));
    QCOMPARE(cut.pixmap(QSize(16, 18), 2.0).size(), QSize(32, 36));
    QCOMPARE(ConnectionTreeModel(tree, "").text(tree.top()), QStringLiteral("This computer ()"));
  }

  void changesKeepTheModelConsistent() {
    ConnectionTree tree;
    ConnectionTreeModel model(tree, "host");
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QTreeView view;
    view.setModel(&model);
    view.expandAll();

    std::mt19937 random(7);
    std::vector<TreeNode*> nodes{tree.top()};
    for (int i = 0; i < 300; ++i) {
      const int op = static_cast<int>(random() % 10);
      TreeNode* some = nodes[random() % nodes.size()];
      if (op < 5 || nodes.size() < 3) {
        rVTNodeData data;
        data.Name = "n" + std::to_string(i);
        nodes.push_back(tree.insert(some, static_cast<int>(random() % (some->childCount() + 1)),
                                    ConnectionTree::newNode(data)));
      } else if (op < 7 && some != tree.top()) {
        TreeNode* to = nodes[random() % nodes.size()];
        if (to != some && !some->isAncestorOf(to))
          tree.move(some, to, static_cast<int>(random() % (to->childCount() + 1)));
      } else if (op < 9 && some != tree.top()) {
        if (op == 7)
          tree.remove(some);
        else  // a run of siblings in one removal
          tree.removeRange(some->parent(), some->row(), 1 + static_cast<int>(random() % 4));
        nodes.clear();
        for (TreeNode* n = tree.top(); n; n = ConnectionTree::next(n)) nodes.push_back(n);
      } else {
        tree.setName(some == tree.top() ? tree.top() : some, "renamed" + std::to_string(i));
      }
      if (i % 50 == 0) view.expandAll();
    }
    QCOMPARE(test::CheckInvariants(tree), std::string());
    // Index round trip for every node.
    for (TreeNode* n = tree.top(); n; n = ConnectionTree::next(n)) QCOMPARE(model.node(model.indexOf(n)), n);

    // A whole file arrives in one insert; a new document is a reset.
    const std::string bytes = WriteConfiguration(tree);
    tree.clear();
    QCOMPARE(model.rowCount(model.indexOf(tree.top())), 0);
    QVERIFY(ReadConfiguration(tree, bytes, false).ok());
    QVERIFY(model.rowCount(model.indexOf(tree.top())) > 0);
  }

  // Renames of many siblings go out as one range per run, before the next
  // structural change or once the event loop runs; every renamed row is in one.
  void renamesAreAnnouncedInRunsAndNoneIsLost() {
    ConnectionTree tree;
    ConnectionTreeModel model(tree, "host");
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    TreeNode* a = test::Add(tree, tree.top(), "a");
    TreeNode* b = test::Add(tree, tree.top(), "b");
    for (int i = 0; i < 200; ++i) test::Add(tree, a, "x" + std::to_string(i));
    test::Add(tree, b, "y");
    QCoreApplication::processEvents();

    std::vector<std::string> events;  // "changed <parent> <first>-<last>", "removing"
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex& first, const QModelIndex& last) {
              const std::string parent(model.node(first.parent())->name());
              events.push_back("changed " + parent + " " + std::to_string(first.row()) + "-" +
                               std::to_string(last.row()));
            });
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [&] { events.push_back("removing"); });

    for (int r = 10; r < 200; r += 2) tree.setName(a->child(r), "renamed" + std::to_string(r));
    tree.setName(b->child(0), "renamed y");
    tree.setName(a->child(3), "renamed 3");
    tree.remove(a->child(199));  // the pending run goes out first, with valid rows
    QCOMPARE(events,
             (std::vector<std::string>{"changed a 10-198", "changed b 0-0", "changed a 3-3", "removing"}));

    events.clear();
    tree.setName(a->child(5), "five");
    tree.setName(a->child(7), "seven");
    QVERIFY(events.empty());
    QCoreApplication::processEvents();
    QCOMPARE(events, std::vector<std::string>{"changed a 5-7"});
  }

  // A row without children says so (the view keeps no index for it when it
  // opens everything), also after it gains or loses one; the model knows
  // whether any shown node lies too deep for the view's one-pass opening.
  void leavesAndDepthAsTheViewOpensEverything() {
    ConnectionTree tree;
    ConnectionTreeModel model(tree, "host");
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    constexpr int deepest = ConnectionTreeModel::kDeepestShownLevel;
    TreeNode* chain = tree.top();
    for (int level = 1; level <= deepest; ++level)
      chain = test::Add(tree, chain, "c" + std::to_string(level));
    TreeNode* leaf = test::Add(tree, tree.top(), "leaf");
    auto never = [&](const TreeNode* n) {
      return model.flags(model.indexOf(n)).testFlag(Qt::ItemNeverHasChildren);
    };
    QVERIFY(never(leaf));
    QVERIFY(never(chain));
    QVERIFY(!never(tree.top()));
    QVERIFY(!never(chain->parent()));
    QVERIFY(!model.reachesBelow(deepest));
    QVERIFY(model.reachesBelow(deepest - 1));

    ConnectionTreeView view;
    view.setModel(&model);
    view.expandBranch();
    for (const TreeNode* n = chain->parent(); n; n = n->parent())
      QVERIFY2(view.isExpanded(model.indexOf(n)), std::string(n->name()).c_str());

    // The leaf gains a child: it opens and shows it.
    TreeNode* below = test::Add(tree, leaf, "below");
    QVERIFY(!never(leaf));
    view.expand(model.indexOf(leaf));
    QVERIFY(view.isExpanded(model.indexOf(leaf)));
    QVERIFY(view.visualRect(model.indexOf(below)).isValid());
    tree.remove(below);
    QVERIFY(never(leaf));

    // One level more: opening everything keeps the deepest shown level closed.
    TreeNode* tooDeep = test::Add(tree, chain, "too deep");
    QVERIFY(model.reachesBelow(deepest));
    view.collapseAll();
    view.expandBranch();
    QVERIFY(view.isExpanded(model.indexOf(chain->parent())));
    QVERIFY(!view.isExpanded(model.indexOf(chain)));

    // Filtered, the shown nodes count: the match at level 101 and its branch.
    const FindQuery deepQuery = ParseFindQuery("too");
    model.setFilter(deepQuery, SearchTree(tree, deepQuery));
    QVERIFY(model.reachesBelow(deepest));
    QVERIFY(never(tooDeep));
    QVERIFY(!never(chain));
    const FindQuery leafQuery = ParseFindQuery("leaf");
    model.setFilter(leafQuery, SearchTree(tree, leafQuery));
    QVERIFY(!model.reachesBelow(1));
    QVERIFY(model.reachesBelow(0));
    view.expandBranch();
    QVERIFY(view.isExpanded(model.indexOf(tree.top())));
    QVERIFY(never(leaf));
  }
};

QTEST_MAIN(TreeModelTest)
#include "tree_model_test.moc"
