// The status panels fit their usual texts in the bar's font, never go below
// the given widths, and cut a longer text with its whole text as tool tip.
#include "window/status_panels.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>

#include "window_fixture_qt.h"

using varnok::app::MainWindow;
using varnok::app::StatusPanels;
using varnok::test::Child;

class StatusPanelsTest : public QObject {
  Q_OBJECT
 private slots:
  void panelsFitTheirTexts() {
    for (int pointSize : {8, 14}) {
      QStatusBar bar;
      QFont font = bar.font();
      font.setPointSize(pointSize);
      bar.setFont(font);
      StatusPanels panels(bar);
      bar.resize(1600, 30);
      bar.show();
      QVERIFY(QTest::qWaitForWindowExposed(&bar));
      QVERIFY(panels.label(StatusPanels::LastUpdated)->width() >= 300);
      QVERIFY(panels.label(StatusPanels::Caret)->width() >= 100);
      const QString stamp = QStringLiteral("  Last updated: Wednesday, 30-Sep-2026 23:59:59");
      panels.setText(StatusPanels::LastUpdated, stamp);
      QCOMPARE(panels.label(StatusPanels::LastUpdated)->text(), stamp);
      QVERIFY(panels.label(StatusPanels::LastUpdated)->toolTip().isEmpty());
      panels.setText(StatusPanels::Caret, QStringLiteral("Ln. 1234, Col. 56"));
      QCOMPARE(panels.label(StatusPanels::Caret)->text(), QStringLiteral("Ln. 1234, Col. 56"));
    }
  }

  void longerTextIsCutWithTheWholeTextAsToolTip() {
    QStatusBar bar;
    StatusPanels panels(bar);
    const QString caret = QStringLiteral("Ln. 1234567890, Col. 1234567890");
    panels.setText(StatusPanels::Caret, caret);
    QCOMPARE(panels.text(StatusPanels::Caret), caret);
    QVERIFY(panels.label(StatusPanels::Caret)->text() != caret);
    QVERIFY(panels.label(StatusPanels::Caret)->text().endsWith(QChar(0x2026)));
    QCOMPARE(panels.label(StatusPanels::Caret)->toolTip(), caret);
    panels.setText(StatusPanels::Caret, QStringLiteral("Ln. 1, Col. 1"));
    QVERIFY(panels.label(StatusPanels::Caret)->toolTip().isEmpty());
  }

  // On a narrow bar the first panel gives way and wraps its text between
  // words, the bar growing to show both lines; widening shows it on one line.
  void firstPanelWrapsOnANarrowBar() {
    QStatusBar bar;
    StatusPanels panels(bar);
    const QString stamp = QStringLiteral("  Last updated: Wednesday, 30-Sep-2026 23:59:59");
    panels.setText(StatusPanels::LastUpdated, stamp);
    bar.resize(560, 30);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QLabel* first = panels.label(StatusPanels::LastUpdated);
    QVERIFY(first->width() < 300);
    QTRY_VERIFY(first->text().contains(QLatin1Char('\n')));
    QCOMPARE(QString(first->text()).replace(QLatin1Char('\n'), QLatin1Char(' ')), stamp.trimmed());
    for (const QString& line : first->text().split(QLatin1Char('\n')))
      QVERIFY(first->fontMetrics().horizontalAdvance(line) <= first->contentsRect().width());
    QTRY_VERIFY(first->height() >= 2 * first->fontMetrics().lineSpacing());
    QVERIFY(first->geometry().right() < panels.label(StatusPanels::Caret)->geometry().left());
    bar.resize(1400, 30);
    QTRY_COMPARE(first->text(), stamp);
    QVERIFY(first->toolTip().isEmpty());
  }

  // Hovering a greyed menu item says why in the first panel only; the other
  // panels stay, and the first panel's own text returns when the tip ends.
  void greyedCommandReasonTakesTheFirstPanelOnly() {
    varnok::test::WindowFixture f;
    MainWindow& w = f.openActiveOn({"1:alpha:login"});
    w.connectionPages().setModified(true);
    QLabel* first = Child<QLabel>(w, "SBarPanel0");
    QLabel* modified = Child<QLabel>(w, "SBarPanel2");
    const QString before = first->text();
    w.refreshCommands();
    QAction* save = w.findChild<QAction*>(QStringLiteral("MnSaveTable"));
    QVERIFY(save && !save->isEnabled() && !save->statusTip().isEmpty());
    // An open menu reports its hovered item through the menu bar that opened it.
    save->showStatusText(w.menuBar());
    QCOMPARE(first->text(), save->statusTip());
    QVERIFY(!modified->isHidden());
    QCOMPARE(modified->text(), QStringLiteral("Modified"));
    QVERIFY(w.statusBar()->currentMessage().isEmpty());
    QStatusTipEvent end{QString()};
    QApplication::sendEvent(w.menuBar(), &end);
    QCOMPARE(first->text(), before);
    w.connectionPages().setModified(false);
    QVERIFY2(f.problems().empty(), f.problems().c_str());
  }
};

QTEST_MAIN(StatusPanelsTest)
#include "status_panels_test.moc"
