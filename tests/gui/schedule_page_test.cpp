// The Schedule page through the window: loading a stored schedule, the
// typing filter and the "*" rule, "Verify values" with its messages, the
// switch, Apply storing the verified fields silently, paste and leaving an
// empty field; and the macro templates of the File menu.
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "commands/command_actions.h"
#include "properties/macro_templates.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

namespace {

QString StatusModified(MainWindow& w) { return Child<QLabel>(w, "SBarPanel2")->text(); }

QStringList Fields(MainWindow& w) {
  QStringList out;
  for (const char* name : {"Edit4", "Edit5", "Edit6", "Edit7", "Edit8"})
    out << Child<QLineEdit>(w, name)->text();
  return out;
}

// A click on the box itself (a stretched check box has empty room at its centre).
void ClickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

}  // namespace

class SchedulePageTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;

  MainWindow& open(const char* page) {
    MainWindow& w = f->openActiveOn({"1:timed:connect", "1:plain:connect"});
    TreeNode* timed = w.tree().top()->child(0);
    rVTNodeData d = timed->data();
    d.Schedule = "=0 8,20 * * 1,2,3,4,5";
    w.tree().setData(timed, d);
    Child<QTabWidget>(w, "PG")->setCurrentWidget(Child<QWidget>(w, page));
    focus(w, timed);
    return w;
  }

  void focus(MainWindow& w, TreeNode* node) {
    w.treeView().setFocus();
    w.selectNode(node);
    QTest::qWait(0);
    w.refreshCommands();
  }

  QLineEdit* field(MainWindow& w, const char* name) {
    auto* edit = Child<QLineEdit>(w, name);
    edit->setFocus();
    return edit;
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  void storedScheduleLoadsAndSwitchingEmptiesOrStarsTheFields() {
    MainWindow& w = open("TS4");
    auto* box = Child<QCheckBox>(w, "cbSchedule");
    auto* verify = Child<QPushButton>(w, "bValidate");
    QVERIFY(box->isChecked());
    QCOMPARE(Fields(w), (QStringList{"0", "8,20", "*", "*", "1,2,3,4,5"}));
    QVERIFY(!verify->isEnabled());
    QCOMPARE(StatusModified(w), QString());
    focus(w, w.tree().top()->child(1));  // no schedule
    QVERIFY(!box->isChecked());
    QCOMPARE(Fields(w), (QStringList{"", "", "", "", ""}));
    QVERIFY(!Child<QLineEdit>(w, "Edit4")->isEnabled());

    ClickBox(box);
    QCOMPARE(Fields(w), (QStringList{"*", "*", "*", "*", "*"}));
    QVERIFY(verify->isEnabled());
    QCOMPARE(StatusModified(w), QStringLiteral("Modified"));
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(std::string(w.tree().top()->child(1)->data().Schedule), std::string("=* * * * *"));
    ClickBox(box);
    QCOMPARE(Fields(w), (QStringList{"", "", "", "", ""}));
    QVERIFY(test::Trigger(w, "BtnApply"));
    QCOMPARE(std::string(w.tree().top()->child(1)->data().Schedule), std::string());
  }

  void typingFilterAndStarRule() {
    MainWindow& w = open("TS4");
    QLineEdit* minute = field(w, "Edit4");
    minute->selectAll();
    QTest::keyClicks(minute, QStringLiteral("1a, 2x5"));
    QCOMPARE(minute->text(), QStringLiteral("1,25"));
    QCOMPARE(StatusModified(w), QStringLiteral("Modified"));
    QVERIFY(Child<QPushButton>(w, "bValidate")->isEnabled());
    minute->setCursorPosition(1);
    QTest::keyClick(minute, Qt::Key_Asterisk);
    QCOMPARE(minute->text(), QStringLiteral("*"));
    QCOMPARE(minute->cursorPosition(), 1);
    // Left empty, a field takes "*".
    QLineEdit* hour = field(w, "Edit5");
    hour->selectAll();
    QTest::keyClick(hour, Qt::Key_Backspace);
    field(w, "Edit6");
    QCOMPARE(hour->text(), QStringLiteral("*"));
  }

  void verifyValuesReportsItsCorrections() {
    MainWindow& w = open("TS4");
    auto* verify = Child<QPushButton>(w, "bValidate");
    const auto type = [&](const char* name, const char* text) {
      QLineEdit* edit = field(w, name);
      edit->selectAll();
      QTest::keyClicks(edit, QString::fromLatin1(text));
    };
    type("Edit4", "30,5,5,70");
    type("Edit8", "0,8");
    f->prompter.expect(PromptKind::Information, PromptButtons::OK, "4 invalid entries corrected.",
                       PromptAnswer::OK);
    QTest::mouseClick(verify, Qt::LeftButton);
    QCOMPARE(Fields(w), (QStringList{"5,30,59", "8,20", "*", "*", "1,7"}));
    QVERIFY(!verify->isEnabled());
    type("Edit5", "23,24");
    f->prompter.expect(PromptKind::Information, PromptButtons::OK, "2 invalid entries corrected.",
                       PromptAnswer::OK);
    QTest::mouseClick(verify, Qt::LeftButton);
    type("Edit6", "1,,2");
    type("Edit6", "3");
    f->prompter.expect(PromptKind::Information, PromptButtons::OK, "All fields are entered correctly.",
                       PromptAnswer::OK);
    QTest::mouseClick(verify, Qt::LeftButton);
    type("Edit7", "13");
    f->prompter.expect(PromptKind::Information, PromptButtons::OK, "1 invalid entry corrected.",
                       PromptAnswer::OK);
    QTest::mouseClick(verify, Qt::LeftButton);
    QCOMPARE(Fields(w), (QStringList{"5,30,59", "23", "3", "12", "1,7"}));
  }

  void applyStoresTheVerifiedFieldsSilentlyAndPasteIsNormalised() {
    MainWindow& w = open("TS4");
    QLineEdit* minute = field(w, "Edit4");
    minute->selectAll();
    QTest::keyClicks(minute, QStringLiteral("1,,2"));
    QApplication::clipboard()->setText(QStringLiteral("7,3,3"));
    QLineEdit* hour = field(w, "Edit5");
    hour->selectAll();
    QVERIFY(test::Trigger(w, "MnPaste"));
    QCOMPARE(hour->text(), QStringLiteral("3,7"));
    // The field's own paste key gives the same.
    QLineEdit* day = field(w, "Edit6");
    day->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("40,x"));
    QTest::keySequence(day, QKeySequence::Paste);
    QCOMPARE(day->text(), QStringLiteral("31"));
    QVERIFY(test::Trigger(w, "BtnApply"));  // no message
    QCOMPARE(std::string(w.tree().top()->child(0)->data().Schedule),
             std::string("=1,2,59 3,7 31 * 1,2,3,4,5"));
    QCOMPARE(Fields(w).first(), QStringLiteral("1,2,59"));
  }

  void templatesAreInsertedAtTheCaretOnALineOfTheirOwn() {
    MainWindow& w = open("TS1");
    QMenu* menu = w.findChild<QMenu*>(QStringLiteral("MnImportTemplate"));
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 11);  // eight items, three separators
    QVERIFY(menu->actions()[1]->isSeparator() && menu->actions()[5]->isSeparator() &&
            menu->actions()[9]->isSeparator());
    auto* editor = Child<QsciScintilla>(w, "Memo1");
    const auto text = [](int tag) {
      const std::string_view t = properties::MacroTemplateText(tag);
      return QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size()));
    };
    const auto insert = [&](int tag) {
      w.refreshCommands();
      QAction* item = w.findChild<QAction*>(QStringLiteral("MnTemplate%1").arg(tag));
      QVERIFY(item && menu->menuAction()->isEnabled());
      item->trigger();
    };

    editor->setFocus();  // the pages now follow the editor, not the tree
    editor->setText(QStringLiteral("ab"));
    editor->setCursorPosition(0, 1);  // inside the line: it is split
    insert(8);
    QCOMPARE(editor->text(), QStringLiteral("a\r\n") + text(8) + QStringLiteral("\r\nb"));
    QCOMPARE(StatusModified(w), QStringLiteral("Modified"));
    editor->undo();  // one step
    QCOMPARE(editor->text(), QStringLiteral("ab"));

    editor->setText(QString());
    insert(1);  // ends with a line break already: an empty line follows
    QCOMPARE(editor->text(), text(1) + QStringLiteral("\r\n"));
    QVERIFY(text(1).endsWith(QStringLiteral(";\r\n")));

    editor->setText(QStringLiteral("keep\r\nDROP\r\nkeep"));
    editor->setSelection(1, 4, 1, 0);  // a selection, the caret in column 1: replaced
    insert(5);
    QCOMPARE(editor->text(), QStringLiteral("keep\r\n") + text(5) + QStringLiteral("\r\n\r\nkeep"));

    // Only while the Macro page is the active page.
    Child<QTabWidget>(w, "PG")->setCurrentWidget(Child<QWidget>(w, "TS2"));
    w.refreshCommands();
    emit menu->aboutToShow();
    QVERIFY(!menu->menuAction()->isEnabled());
  }
};

QTEST_MAIN(SchedulePageTest)
#include "schedule_page_test.moc"
