// The companion's "Find...": the first item of the tray menu opens a small
// window with the find field; Down/Up choose a match, Enter runs it as a
// click in the menu does, the count names every match.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include "common/stored_text.h"
#include "find_window.h"
#include "tray_menu.h"
#include "tree_helpers.h"

using namespace varnok;

class CompanionFindTest : public QObject {
  Q_OBJECT
 private slots:
  void findRunsTheChosenMatchAsTheMenuDoes() {
    ConnectionTree tree;
    TreeNode* site = test::Add(tree, tree.top(), "Site A");
    TreeNode* lab = test::Add(tree, site, "Lab");
    test::Add(tree, lab, "rtr1");
    TreeNode* sw = test::Add(tree, lab, "sw1");
    tree.edit(sw, [](rVTNodeData& d) { d.Macro = EncodeText("connect 'core-sw:23 /nossh'"); });
    test::Add(tree, site, "Office RTR");
    std::vector<int> runs;
    tray::TrayMenuItems items;
    items.runConnection = [&](int index) { runs.push_back(index); };
    tray::TrayMenu menu(items);
    menu.setTree(&tree, {});

    QAction* first = menu.menu()->actions().first();
    QCOMPARE(first->text(), QStringLiteral("Find..."));
    first->trigger();
    tray::FindWindow* window = menu.findWindow();
    QVERIFY(window && window->isVisible());
    QLineEdit* field = window->field();
    QTest::keyClicks(field, QStringLiteral("rtr"));
    QCOMPARE(window->results()->count(), 2);
    QCOMPARE(window->results()->item(0)->text(), QStringLiteral("Site A/Lab/rtr1"));
    QCOMPARE(window->results()->item(1)->text(), QStringLiteral("Site A/Office RTR"));
    QCOMPARE(window->countText(), QStringLiteral("2 of 5"));
    // Down twice: the second match; Enter runs it by its absolute index and closes.
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(runs, std::vector<int>{5});
    QVERIFY(!window->isVisible());

    // Opened again: the same field; a field word; Enter without a choice runs the first match.
    first->trigger();
    QVERIFY(window->isVisible());
    field->setText(QStringLiteral("host:core"));
    QCOMPARE(window->countText(), QStringLiteral("1 of 5"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(runs, (std::vector<int>{5, 4}));

    // The tree read again: the window looks in the new one; nothing found, nothing run.
    ConnectionTree other;
    test::Add(other, other.top(), "Edge");
    menu.setTree(&other, {});
    QCOMPARE(menu.menu()->actions().first()->text(), QStringLiteral("Find..."));
    first = menu.menu()->actions().first();
    first->trigger();
    field->setText(QStringLiteral("rtr"));
    QCOMPARE(window->results()->count(), 0);
    QCOMPARE(window->countText(), QStringLiteral("0 of 1"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(runs.size(), std::size_t{2});
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
  }
};

QTEST_MAIN(CompanionFindTest)
#include "companion_find_test.moc"
