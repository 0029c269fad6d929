// At the designed 648 x 490, in the font a wide screen gives (one point
// larger), every caption of the pages and the status bar is shown whole:
// long captions wrap between words instead of being cut, and a selected tree
// row is highlighted across the tree's whole width.
#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

namespace {

// Why `button` does not show its caption whole; empty when it does.
QString CutCaption(const QAbstractButton& button) {
  if (!button.isVisibleTo(button.window()) || button.text().isEmpty()) return {};
  if (button.hasHeightForWidth()) {
    if (button.width() < button.minimumSizeHint().width() ||
        button.height() < button.heightForWidth(button.width()))
      return QStringLiteral("'%1' wraps into %2x%3 but needs %4 high")
          .arg(button.text())
          .arg(button.width())
          .arg(button.height())
          .arg(button.heightForWidth(button.width()));
    return {};
  }
  if (button.width() < button.sizeHint().width())
    return QStringLiteral("'%1' is %2 wide, needs %3")
        .arg(button.text())
        .arg(button.width())
        .arg(button.sizeHint().width());
  return {};
}

QString CutCaptions(QWidget& page) {
  QString problems;
  for (const QAbstractButton* button : page.findChildren<QAbstractButton*>()) {
    const QString cut = CutCaption(*button);
    if (!cut.isEmpty()) problems += cut + QLatin1Char('\n');
  }
  for (const QLabel* label : page.findChildren<QLabel*>())
    if (label->isVisibleTo(&page) && !label->wordWrap() && label->width() < label->sizeHint().width())
      problems += QStringLiteral("label '%1' is cut\n").arg(label->text());
  return problems;
}

}  // namespace

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QFont font = QApplication::font();
    font.setPointSize(font.pointSize() + 1);
    QApplication::setFont(font);
  }

  void captionsAreWholeAtTheDesignedSize() {
    WindowFixture f;
    MainWindow& w = f.openActiveOn({"1:alpha:login", "1:beta:"});
    w.resize(648, 490);
    QTest::qWait(50);
    auto* pages = Child<QTabWidget>(w, "PG");
    // The user has widened the tree as far as the pages let it.
    auto* splitter = qobject_cast<QSplitter*>(pages->parentWidget());
    QVERIFY(splitter);
    splitter->setSizes({1000, 0});
    QTest::qWait(20);
    QCOMPARE(pages->width(), pages->minimumWidth());
    w.treeView().setFocus();
    w.selectNode(w.tree().top()->child(0));
    w.refreshCommands();
    for (int i = 0; i < pages->count(); ++i) {
      pages->setCurrentIndex(i);
      QTest::qWait(20);
      const QString cut = CutCaptions(*pages->currentWidget());
      QVERIFY2(cut.isEmpty(), qPrintable(pages->tabText(i) + QStringLiteral(": ") + cut));
    }
    auto* settingsScroll = Child<QScrollArea>(w, "TabSheet1Scroll");
    pages->setCurrentWidget(settingsScroll);
    QVERIFY(!settingsScroll->horizontalScrollBar()->isVisible());

    // The status bar's first panel with the time stamp of an Apply.
    pages->setCurrentIndex(1);
    auto* editor = Child<QWidget>(w, "Memo1");
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("x"));
    QTest::keyClick(&w, Qt::Key_F12);
    auto* first = Child<QLabel>(w, "SBarPanel0");
    QTRY_COMPARE(QString(first->text()).replace(QLatin1Char('\n'), QLatin1Char(' ')).trimmed(),
                 QStringLiteral("Last updated: Tuesday, 08-Dec-2026 09:05:07"));
    w.document().setModified(false);

    // The selected row's highlight: the column reaches the viewport's right edge.
    QTreeView& tree = w.treeView();
    QVERIFY(tree.header()->sectionSize(0) >= tree.viewport()->width());
  }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
