// Renders the program's SVG icon into the PNG sizes of the hicolor theme at
// build time, so that the package's bitmaps never drift from the drawing.
//   render_icon <input.svg> <size> <output.png>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: render_icon <input.svg> <size> <output.png>\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  bool ok = false;
  const int size = QString::fromLatin1(argv[2]).toInt(&ok);
  if (!svg.isValid() || !ok || size < 1) {
    std::fprintf(stderr, "render_icon: cannot render %s at size %s\n", argv[1], argv[2]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  svg.render(&painter);
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "render_icon: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
