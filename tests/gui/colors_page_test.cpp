// The Colors page through the window: schema matching, the bars writing back
// only when the user moves them, the same background in all three channels,
// reverse, the parent's colours with their enabling rules, Apply and a
// refused focus change, and the colour options of the Settings page.
#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "files/vnk_file.h"
#include "pages/macro_page.h"
#include "platform/settings_names.h"
#include "properties/color_set.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

namespace {

constexpr const char* kSchema0 = "0:0:0:255:255:216:0:0:255:255:255:216:0:255:255:255:255:216";
constexpr const char* kCustom = "1:2:3:4:5:6:7:8:9:10:11:12:13:14:15:16:17:18";

TreeNode* Add(ConnectionTree& tree, TreeNode* parent, const char* name, const char* colors) {
  rVTNodeData d;
  d.Name = name;
  d.Colors = colors;
  d.Macro = "connect";
  TreeNode* node = ConnectionTree::newNode(d).release();
  tree.insert(parent, parent->childCount(), std::unique_ptr<TreeNode>(node));
  return node;
}

QString StatusModified(MainWindow& w) { return Child<QLabel>(w, "SBarPanel2")->text(); }

void Focus(MainWindow& w, TreeNode* node) {
  w.treeView().setFocus();
  w.selectNode(node);
  QTest::qWait(0);
  w.refreshCommands();
}

// The user moves bar `name` by one step to the right.
void StepBar(MainWindow& w, const char* name) {
  auto* bar = Child<QScrollBar>(w, name);
  bar->setFocus();
  QTest::keyClick(bar, Qt::Key_Right);
}

// The font family of the editor's plain text style.
QByteArray StyleFont(QsciScintilla& editor) {
  QByteArray name(128, '\0');
  editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, 0ul, name.data());
  return name.left(name.indexOf('\0'));
}

}  // namespace

class ColorsPageTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;
  TreeNode* plain = nullptr;   // schema 0, directly under the top node
  TreeNode* custom = nullptr;  // matches no schema
  TreeNode* child = nullptr;   // below `custom`, with schema 0

  MainWindow& open() {
    const std::string file = f->dir.file("Colours.vnk");
    {
      ConnectionTree tree;
      Add(tree, tree.top(), "plain", kSchema0);
      TreeNode* c = Add(tree, tree.top(), "custom", kCustom);
      Add(tree, c, "child", kSchema0);
      SaveConfiguration(tree, file);
    }
    f->settings().writeString("LastVNKFile", file);
    MainWindow& w = f->openActive();
    plain = w.tree().top()->child(0);
    custom = w.tree().top()->child(1);
    child = custom->child(0);
    w.treeView().expandAll();
    auto* pages = Child<QTabWidget>(w, "PG");
    pages->setCurrentWidget(Child<QWidget>(w, "TS3"));
    return w;
  }

  QString stored(TreeNode* node) { return QString::fromStdString(std::string(node->data().Colors)); }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  void schemaFollowsTheLiveSetAndProgramMovesMarkNothing() {
    MainWindow& w = open();
    auto* schema = Child<QComboBox>(w, "CBSchema");
    Focus(w, plain);
    QCOMPARE(schema->currentText(), QStringLiteral("Black on Light color"));
    QCOMPARE(Child<QLabel>(w, "lBlue")->text(), QStringLiteral("B: 0"));
    Focus(w, custom);
    QCOMPARE(schema->currentIndex(), -1);
    // Another attribute and part put the bars elsewhere without an edit.
    Child<QComboBox>(w, "CB")->setFocus();
    QTest::keyClick(Child<QComboBox>(w, "CB"), Qt::Key_Down);  // Bold
    QTest::mouseClick(Child<QRadioButton>(w, "RB4"), Qt::LeftButton);
    QCOMPARE(Child<QScrollBar>(w, "S1")->value(), 10);
    QCOMPARE(Child<QLabel>(w, "lGreen")->text(), QStringLiteral("G: 11"));
    QCOMPARE(StatusModified(w), QString());
    // Clicking a sample selects its attribute; still no edit.
    QTest::mouseClick(Child<QLabel>(w, "pSampleBlink"), Qt::LeftButton);
    QCOMPARE(Child<QComboBox>(w, "CB")->currentIndex(), 2);
    QCOMPARE(Child<QScrollBar>(w, "S3")->value(), 18);
    QCOMPARE(Child<QLabel>(w, "pSampleBlink")->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(Child<QLabel>(w, "pSampleNormal")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(StatusModified(w), QString());

    // A schema chosen by the user is an edit; Apply stores it.
    schema->setFocus();
    schema->setCurrentIndex(4);
    emit schema->activated(4);
    QCOMPARE(StatusModified(w), QStringLiteral("Modified"));
    QCOMPARE(Child<QScrollBar>(w, "S1")->value(), 0);  // Blink background of "Green on Black"
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(stored(custom), QString::fromLatin1(properties::ColorSchemas[4].colors));
    QCOMPARE(StatusModified(w), QString());
  }

  void barsWriteTheirChannelAndSameBackgroundCopiesTheWholeTriple() {
    MainWindow& w = open();
    Child<QCheckBox>(w, "cbSameBackground")->setChecked(false);
    Focus(w, custom);
    StepBar(w, "S2");  // Normal text, green: 2 -> 3
    QCOMPARE(StatusModified(w), QStringLiteral("Modified"));
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(stored(custom), QString::fromLatin1("1:3:3:4:5:6:7:8:9:10:11:12:13:14:15:16:17:18"));

    // With the option on, moving one channel of Bold's background gives
    // Normal and Blink Bold's whole background.
    Child<QCheckBox>(w, "cbSameBackground")->setChecked(true);
    Child<QComboBox>(w, "CB")->setCurrentIndex(1);
    emit Child<QComboBox>(w, "CB")->activated(1);
    QTest::mouseClick(Child<QRadioButton>(w, "RB4"), Qt::LeftButton);
    StepBar(w, "S2");  // Bold background 10:11:12 -> 10:12:12
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(stored(custom), QString::fromLatin1("1:3:3:10:12:12:7:8:9:10:12:12:13:14:15:10:12:12"));
  }

  void sameBackgroundButtonAndReverse() {
    MainWindow& w = open();
    Child<QCheckBox>(w, "cbSameBackground")->setChecked(false);  // on by default
    Focus(w, custom);
    auto* same = Child<QPushButton>(w, "bSameBkgrColor");
    w.refreshCommands();
    QVERIFY(!same->isEnabled());  // "Text" is chosen
    QTest::mouseClick(Child<QRadioButton>(w, "RB4"), Qt::LeftButton);
    w.refreshCommands();
    QVERIFY(same->isEnabled());
    QTest::mouseClick(same, Qt::LeftButton);  // Normal's background everywhere
    w.refreshCommands();
    QVERIFY(!same->isEnabled());  // the three are the same now
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(stored(custom), QString::fromLatin1("1:2:3:4:5:6:7:8:9:4:5:6:13:14:15:4:5:6"));

    // Reverse: the selected attribute only, or all three with the option.
    QTest::mouseClick(Child<QPushButton>(w, "bReverse"), Qt::LeftButton);
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(stored(custom), QString::fromLatin1("4:5:6:1:2:3:7:8:9:4:5:6:13:14:15:4:5:6"));
    QCOMPARE(Child<QScrollBar>(w, "S1")->value(), 1);  // the bars follow
    Child<QCheckBox>(w, "cbSameBackground")->setChecked(true);
    QTest::mouseClick(Child<QPushButton>(w, "bReverse"), Qt::LeftButton);
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(stored(custom), QString::fromLatin1("1:2:3:4:5:6:4:5:6:7:8:9:4:5:6:13:14:15"));
  }

  void parentsColoursOnlyBelowAConnectionAndWhenTheyDiffer() {
    MainWindow& w = open();
    auto* parentButton = Child<QPushButton>(w, "bParentColors");
    Focus(w, custom);
    QVERIFY(!parentButton->isEnabled());  // its parent is the top node
    Focus(w, child);
    QVERIFY(parentButton->isEnabled());
    QTest::mouseClick(parentButton, Qt::LeftButton);
    QCOMPARE(StatusModified(w), QStringLiteral("Modified"));
    QCOMPARE(Child<QComboBox>(w, "CBSchema")->currentIndex(), -1);
    w.refreshCommands();
    QVERIFY(!parentButton->isEnabled());  // the same as the parent's now
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(stored(child), QString::fromLatin1(kCustom));
  }

  void refusedFocusChangeKeepsTheEditedColours() {
    MainWindow& w = open();
    Focus(w, plain);
    StepBar(w, "S1");
    f->prompter.expect(PromptKind::Warning, PromptButtons::YesNoCancel,
                       "Do you want to apply the changes you made to  'plain' ?", PromptAnswer::Cancel);
    w.treeView().setFocus();
    w.selectNode(custom);
    QTest::qWait(20);
    QCOMPARE(Child<QLabel>(w, "lRed")->text(), QStringLiteral("R: 1"));
    QCOMPARE(Child<QComboBox>(w, "CBSchema")->currentIndex(), -1);
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(stored(plain),
             QString::fromLatin1("1:0:0:255:255:216:0:0:255:255:255:216:0:255:255:255:255:216"));
  }

  void disablingColourSupportCoversThePageAndUnticksItsOptions() {
    MainWindow& w = open();
    Focus(w, custom);
    auto* inEditor = Child<QCheckBox>(w, "cbUseColorInEditor");
    auto* sameBackground = Child<QCheckBox>(w, "cbSameBackground");
    inEditor->setChecked(true);
    sameBackground->setChecked(true);
    auto* noColors = Child<QCheckBox>(w, "cbNoColors");
    QTest::mouseClick(noColors, Qt::LeftButton);
    QVERIFY(!inEditor->isChecked() && !sameBackground->isChecked());
    QVERIFY(!inEditor->isEnabled() && !sameBackground->isEnabled());
    QCOMPARE(Child<QLabel>(w, "TS3Panel")->text(), QStringLiteral("Color support is disabled"));
    QVERIFY(Child<QLabel>(w, "TS3Panel")->isVisible());
    QTest::mouseClick(noColors, Qt::LeftButton);
    QVERIFY(inEditor->isEnabled() && sameBackground->isEnabled());
    QVERIFY(!Child<QLabel>(w, "TS3Panel")->isVisible());
    QCOMPARE(Child<QLabel>(w, "lRed")->text(), QStringLiteral("R: 1"));
  }

  // With colour support off the Colors page says so, whatever is selected;
  // switched on again it tells what is selected.
  void disabledColourSupportWinsOverTheSelectionCaption() {
    MainWindow& w = open();
    auto* cover = Child<QLabel>(w, "TS3Panel");
    auto* noColors = Child<QCheckBox>(w, "cbNoColors");
    Focus(w, w.tree().top());
    QCOMPARE(cover->text(), QStringLiteral("No connection selected"));
    QTest::mouseClick(noColors, Qt::LeftButton);
    QCOMPARE(cover->text(), QStringLiteral("Color support is disabled"));
    Focus(w, plain);
    w.treeView().selectionModel()->select(w.treeModel().indexOf(custom),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w.refreshCommands();
    QCOMPARE(Child<QLabel>(w, "TS1Panel")->text(), QStringLiteral("Multiple items selected"));
    QCOMPARE(cover->text(), QStringLiteral("Color support is disabled"));
    Focus(w, w.tree().top());
    QCOMPARE(cover->text(), QStringLiteral("Color support is disabled"));
    QTest::mouseClick(noColors, Qt::LeftButton);
    QCOMPARE(cover->text(), QStringLiteral("No connection selected"));
  }

  // "Connection colors in Macro editor": the stored Normal colours, no
  // gutter, no highlighter; unapplied edits of the page show only after
  // Apply; switching the option (or colour support) off brings both back.
  void macroEditorInConnectionColours() {
    f->settings().write({platform::UseColorsInEditor.value(0)});
    MainWindow& w = open();
    Focus(w, custom);
    auto& macro = *w.findChild<MacroPage*>(QStringLiteral("TS1"));
    auto* editor = Child<QsciScintilla>(w, "Memo1");
    const QColor popupPaper = Child<QsciScintilla>(w, "Memo2")->paper();
    QVERIFY(macro.usesHighlighter());
    QVERIFY(editor->marginWidth(0) > 0);
    const QByteArray highlightedFont = StyleFont(*editor);
    auto* inEditor = Child<QCheckBox>(w, "cbUseColorInEditor");
    QTest::mouseClick(inEditor, Qt::LeftButton, {}, QPoint(6, inEditor->height() / 2));
    QVERIFY(inEditor->isChecked());
    QVERIFY(!macro.usesHighlighter());
    QCOMPARE(editor->marginWidth(0), 0);
    QCOMPARE(editor->paper(), QColor(4, 5, 6));  // custom's Normal background
    QCOMPARE(editor->color(), QColor(1, 2, 3));
    QCOMPARE(StyleFont(*editor), highlightedFont);  // the same fixed font
    Focus(w, plain);
    QCOMPARE(editor->paper(), QColor(255, 255, 216));

    // An unapplied schema changes the editor only once applied.
    auto* schema = Child<QComboBox>(w, "CBSchema");
    schema->setCurrentIndex(4);
    emit schema->activated(4);
    QCOMPARE(editor->paper(), QColor(255, 255, 216));
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(editor->paper(), QColor(0, 0, 0));
    QCOMPARE(editor->color(), QColor(0, 255, 0));

    QTest::mouseClick(inEditor, Qt::LeftButton, {}, QPoint(6, inEditor->height() / 2));
    QVERIFY(macro.usesHighlighter());
    QVERIFY(editor->marginWidth(0) > 0);
    QCOMPARE(editor->paper(), popupPaper);
    QTest::mouseClick(inEditor, Qt::LeftButton, {}, QPoint(6, inEditor->height() / 2));
    QVERIFY(!macro.usesHighlighter());
    auto* noColors = Child<QCheckBox>(w, "cbNoColors");
    QTest::mouseClick(noColors, Qt::LeftButton, {}, QPoint(6, noColors->height() / 2));
    QVERIFY(macro.usesHighlighter());
  }
};

QTEST_MAIN(ColorsPageTest)
#include "colors_page_test.moc"
