// The tree's find filter driven through the real window: Ctrl+F, typing,
// the count, Down/Up/Enter/F9 from the field, Esc putting the view back,
// the structure commands waiting with their reason, unapplied edits asked
// about before a match takes the focus, and the kept queries.
#include "find/tree_filter.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <fstream>
#include <nlohmann/json.hpp>

#include "common/stored_text.h"
#include "program_dir.h"
#include "scoped_env.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

class TreeFilterTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;
  std::unique_ptr<test::ProgramDir> programs;
  std::unique_ptr<test::ScopedEnv> record;

  // Site A / Lab / {rtr1, sw1}, Site A / Office rtr, Edge.
  MainWindow& open() {
    WindowServices services;
    services.programDir = programs->path();
    return f->openActiveOn({"1:Site A:", "2:Lab:", "3:rtr1:connect 'r1'", "3:sw1:connect 'sw1'",
                            "2:Office rtr:connect 'office'", "1:Edge:connect 'edge'"},
                           services);
  }
  TreeNode* node(MainWindow& w, const char* path) {
    TreeNode* n = w.tree().top();
    for (QString part : QString::fromLatin1(path).split(QLatin1Char('/'))) {
      TreeNode* next = nullptr;
      for (int i = 0; i < n->childCount(); ++i)
        if (QString::fromLatin1(n->child(i)->name()) == part) next = n->child(i);
      if (!next) return nullptr;
      n = next;
    }
    return n;
  }
  QLineEdit* field(MainWindow& w) { return Child<QLineEdit>(w, "FindField"); }
  QString count(MainWindow& w) {
    QLabel* label = Child<QLabel>(w, "FindCount");
    return label->isVisible() ? label->text() : QString();
  }
  void type(MainWindow& w, const char* text) {
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(field(w)->hasFocus());
    QTest::keyClicks(field(w), QString::fromUtf8(text));
    w.treeFilter().finishSearch();
  }
  // The shown rows in order, indented by level: "Site A\n Lab\n  rtr1\n".
  QString rows(MainWindow& w) {
    QString out;
    QTreeView& v = w.treeView();
    for (QModelIndex i = v.model()->index(0, 0); i.isValid(); i = v.indexBelow(i)) {
      const TreeNode* n = w.treeModel().node(i);
      if (!n->parent()) continue;
      out += QString(n->data().Level - 1, QLatin1Char(' ')) + QString::fromLatin1(n->name()) + "\n";
    }
    return out;
  }
  QString macroText(MainWindow& w) { return Child<QsciScintilla>(w, "Memo1")->text(); }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    programs = std::make_unique<test::ProgramDir>(std::vector<std::string>{"corvmain"});
    record = std::make_unique<test::ScopedEnv>("CORVMAIN_RECORD", programs->scratch("corvmain.jsonl"));
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
    record.reset();
    programs.reset();
  }

  // Typing shows every match of the whole tree with its branch, all open,
  // however the tree was opened; Esc puts back the focus, the open branches
  // and the selection as they were, and the tree has the focus again.
  void typingFiltersAndEscPutsTheViewBack() {
    MainWindow& w = open();
    QTreeView& v = w.treeView();
    v.collapseAll();
    v.expand(w.treeModel().indexOf(w.tree().top()));
    v.setFocus();
    w.selectNode(node(w, "Edge"));
    QCOMPARE(count(w), QString());

    type(w, "RTR");
    QCOMPARE(rows(w), QStringLiteral("Site A\n Lab\n  rtr1\n Office rtr\n"));
    QCOMPARE(count(w), QStringLiteral("2 of 6"));
    QVERIFY(w.treeModel().isMatch(node(w, "Site A/Lab/rtr1")));
    QVERIFY(!w.treeModel().isMatch(node(w, "Site A/Lab")));
    // Each keystroke narrows; a path word and an exclusion.
    QTest::keyClicks(field(w), QStringLiteral(" -office"));
    w.treeFilter().finishSearch();
    QCOMPARE(rows(w), QStringLiteral("Site A\n Lab\n  rtr1\n"));
    QCOMPARE(count(w), QStringLiteral("1 of 6"));
    field(w)->setText(QStringLiteral("nothing"));
    w.treeFilter().finishSearch();
    QCOMPARE(rows(w), QString());
    QCOMPARE(count(w), QStringLiteral("0 of 6"));

    QTest::keyClick(field(w), Qt::Key_Escape);
    QCOMPARE(field(w)->text(), QString());
    QVERIFY(!w.treeModel().isFiltered());
    QCOMPARE(count(w), QString());
    QVERIFY(v.hasFocus());
    QCOMPARE(w.focusedNode(), node(w, "Edge"));
    QVERIFY(v.selectionModel()->isSelected(w.treeModel().indexOf(node(w, "Edge"))));
    QCOMPARE(v.selectionModel()->selectedIndexes().size(), 1);
    QVERIFY(!v.isExpanded(w.treeModel().indexOf(node(w, "Site A"))));
    QCOMPARE(rows(w), QStringLiteral("Site A\nEdge\n"));
  }

  // Everything open (Expand all) comes back open, all of it; a tree open in
  // part comes back as it was, a closed branch with an open one inside too.
  void escPutsBackAllOrPartOfTheOpenBranches() {
    MainWindow& w = open();
    QTreeView& v = w.treeView();
    QVERIFY(test::Trigger(w, "MnExpandAll"));
    const QString all = QStringLiteral("Site A\n Lab\n  rtr1\n  sw1\n Office rtr\nEdge\n");
    QCOMPARE(rows(w), all);
    type(w, "edge");
    QCOMPARE(rows(w), QStringLiteral("Edge\n"));
    QTest::keyClick(field(w), Qt::Key_Escape);
    QCOMPARE(rows(w), all);
    QVERIFY(v.isExpanded(w.treeModel().indexOf(node(w, "Site A/Lab"))));

    v.collapse(w.treeModel().indexOf(node(w, "Site A")));  // Lab stays open inside
    type(w, "sw1");
    QCOMPARE(rows(w), QStringLiteral("Site A\n Lab\n  sw1\n"));
    QTest::keyClick(field(w), Qt::Key_Escape);
    QCOMPARE(rows(w), QStringLiteral("Site A\nEdge\n"));
    v.expand(w.treeModel().indexOf(node(w, "Site A")));
    QCOMPARE(rows(w), all);
  }

  // Down and Up go from match to match (branches shown only for context are
  // passed over) and the pages follow; Enter gives the tree the focus; Esc
  // then keeps the chosen match focused, its branch open.
  void downUpEnterAndAChosenMatch() {
    MainWindow& w = open();
    w.treeView().setFocus();
    w.selectNode(node(w, "Edge"));
    type(w, "rtr");
    QTest::keyClick(field(w), Qt::Key_Down);
    QCOMPARE(w.focusedNode(), node(w, "Site A/Lab/rtr1"));
    QCOMPARE(macroText(w), QStringLiteral("connect 'r1'"));
    QVERIFY(field(w)->hasFocus());
    QTest::keyClick(field(w), Qt::Key_Down);
    QCOMPARE(w.focusedNode(), node(w, "Site A/Office rtr"));
    QCOMPARE(macroText(w), QStringLiteral("connect 'office'"));
    QTest::keyClick(field(w), Qt::Key_Down);  // round again
    QCOMPARE(w.focusedNode(), node(w, "Site A/Lab/rtr1"));
    QTest::keyClick(field(w), Qt::Key_Up);
    QCOMPARE(w.focusedNode(), node(w, "Site A/Office rtr"));
    QTest::keyClick(field(w), Qt::Key_Return);
    QVERIFY(w.treeView().hasFocus());
    QCOMPARE(w.focusedNode(), node(w, "Site A/Office rtr"));

    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(field(w), Qt::Key_Escape);
    QVERIFY(!w.treeModel().isFiltered());
    QCOMPARE(w.focusedNode(), node(w, "Site A/Office rtr"));
    // Lab was closed before and stays so; the match is in view.
    QCOMPARE(rows(w), QStringLiteral("Site A\n Lab\n Office rtr\nEdge\n"));
  }

  // F9 from the field runs the first match when none was chosen yet; a field
  // word looks at the host names of the macro's connect lines.
  void runsFromTheField() {
    MainWindow& w = open();
    type(w, "host:sw1");
    QCOMPARE(count(w), QStringLiteral("1 of 6"));
    QTest::keyClick(field(w), Qt::Key_F9);
    QCOMPARE(w.focusedNode(), node(w, "Site A/Lab/sw1"));
    std::vector<nlohmann::json> lines;
    for (int i = 0; i < 100 && lines.empty(); ++i) {
      QTest::qWait(50);
      std::ifstream in(programs->scratch("corvmain.jsonl"));
      for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(nlohmann::json::parse(line));
    }
    QCOMPARE(lines.size(), std::size_t(1));
    QVERIFY(lines[0]["macro"].get<std::string>().starts_with("connect 'sw1'\r\n"));
  }

  // While filtered, commands that change the tree's structure wait and say
  // why; Apply and the pages work.
  void structureCommandsWaitForTheFilter() {
    MainWindow& w = open();
    type(w, "rtr");
    QTest::keyClick(field(w), Qt::Key_Return);
    QVERIFY(w.treeView().hasFocus());
    for (const char* name : {"BtnAddChild", "BtnAddSibling", "BtnDelete", "MnDuplicate", "MnAddSeparator",
                             "MnImportConnection"}) {
      QVERIFY2(!test::Trigger(w, name), name);
      QCOMPARE(Child<QAction>(w, name)->statusTip(), QStringLiteral("Clear the filter first"));
    }
    QVERIFY(!(w.treeModel().flags(w.treeView().currentIndex()) & Qt::ItemIsDragEnabled));
    auto* editor = Child<QsciScintilla>(w, "Memo1");
    editor->setFocus();
    editor->setCursorPosition(0, editor->text().size());
    QTest::keyClicks(editor, QStringLiteral(" X"));
    QVERIFY(w.connectionModified());
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(DecodeText(node(w, "Site A/Lab/rtr1")->data().Macro), std::string("connect 'r1' X"));
    w.treeFilter().clear();
    QVERIFY(test::Trigger(w, "BtnAddChild"));
  }

  // A match taking the focus from the field asks about the unapplied edits of
  // the connection being left; Cancel keeps it.
  void unappliedEditsAreAskedAbout() {
    MainWindow& w = open();
    w.treeView().setFocus();
    w.selectNode(node(w, "Edge"));
    QTest::qWait(200);
    auto* editor = Child<QsciScintilla>(w, "Memo1");
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("Y"));
    QVERIFY(w.connectionModified());
    type(w, "rtr");
    const std::string question = "Do you want to apply the changes you made to  'Edge' ?";
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, question, PromptAnswer::Cancel);
    QTest::keyClick(field(w), Qt::Key_Down);
    QVERIFY(w.focusedNode() != node(w, "Site A/Lab/rtr1"));
    QVERIFY(w.connectionModified());
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel, question, PromptAnswer::Yes);
    QTest::keyClick(field(w), Qt::Key_Down);
    QCOMPARE(w.focusedNode(), node(w, "Site A/Lab/rtr1"));
    QVERIFY(!w.connectionModified());
    QCOMPARE(DecodeText(node(w, "Edge")->data().Macro), std::string("Yconnect 'edge'"));
    QCOMPARE(macroText(w), QStringLiteral("connect 'r1'"));
  }

  // Connections arriving while filtered (an import handed over by a second
  // start) are searched at once; the filter still clears.
  void nodesArrivingWhileFilteredAreSearched() {
    MainWindow& w = open();
    type(w, "rtr");
    rVTNodeData d;
    d.Name = "rtr9";
    w.tree().insert(node(w, "Edge"), 0, ConnectionTree::newNode(std::move(d)));
    QCOMPARE(rows(w), QStringLiteral("Site A\n Lab\n  rtr1\n Office rtr\nEdge\n rtr9\n"));
    QCOMPARE(count(w), QStringLiteral("3 of 7"));
    QTest::keyClick(field(w), Qt::Key_Escape);
    QVERIFY(!w.treeModel().isFiltered());
    QVERIFY(w.treeModel().indexOf(node(w, "Edge/rtr9")).isValid());
  }

  // The last ten queries are kept in the settings; Up in the empty field
  // brings them back, newest first.
  void queriesAreKept() {
    MainWindow& w = open();
    for (int i = 0; i < 12; ++i) {
      type(w, ("q" + std::to_string(i)).c_str());
      QTest::keyClick(field(w), Qt::Key_Escape);
    }
    QCOMPARE(f->settings().readString("FindQuery1", ""), std::string("q11"));
    QCOMPARE(f->settings().readString("FindQuery10", ""), std::string("q2"));
    QCOMPARE(f->settings().readString("FindQuery11", "none"), std::string("none"));
    f->destroy();
    MainWindow& again = open();
    QTest::keyClick(&again, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(field(again), Qt::Key_Up);
    QCOMPARE(field(again)->text(), QStringLiteral("q11"));
    QTest::keyClick(field(again), Qt::Key_Up);
    QCOMPARE(field(again)->text(), QStringLiteral("q10"));
    QVERIFY(again.treeModel().isFiltered());
  }
};

QTEST_MAIN(TreeFilterTest)
#include "tree_filter_test.moc"
