// Tool bar glyphs: a greyed glyph is clearly fainter than an enabled one, and
// on a dark window the strokes are light.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QTest>

#include "commands/command_actions.h"

using namespace varnok::app;

namespace {

struct Ink {
  int maxAlpha = 0;
  int maxLightnessOfStrokes = 0;  // among clearly visible pixels
};

Ink Measure(const QPixmap& pixmap) {
  Ink ink;
  const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      ink.maxAlpha = std::max(ink.maxAlpha, c.alpha());
      if (c.alpha() > 200 && c.lightness() < 250)
        ink.maxLightnessOfStrokes = std::max(ink.maxLightnessOfStrokes, c.lightness());
    }
  return ink;
}

}  // namespace

class GlyphsTest : public QObject {
  Q_OBJECT
 private slots:
  void greyedGlyphIsFaint() {
    QMainWindow window;
    CommandActions actions(window);
    const QIcon icon = actions.button(Command::Open)->icon();
    const Ink normal = Measure(icon.pixmap(20, 20, QIcon::Normal));
    const Ink greyed = Measure(icon.pixmap(20, 20, QIcon::Disabled));
    QVERIFY(normal.maxAlpha > 200);
    QVERIFY(greyed.maxAlpha < normal.maxAlpha / 2);
  }

  void darkWindowGetsLightStrokes() {
    const QPalette saved = qApp->palette();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    qApp->setPalette(dark);
    QMainWindow window;
    CommandActions actions(window);
    const Ink ink = Measure(actions.button(Command::Undo)->icon().pixmap(20, 20));
    qApp->setPalette(saved);
    QVERIFY2(ink.maxLightnessOfStrokes > 150, qPrintable(QString::number(ink.maxLightnessOfStrokes)));
    QMainWindow light;
    CommandActions lightActions(light);
    QVERIFY(Measure(lightActions.button(Command::Undo)->icon().pixmap(20, 20)).maxLightnessOfStrokes < 120);
  }
};

QTEST_MAIN(GlyphsTest)
#include "glyphs_test.moc"
