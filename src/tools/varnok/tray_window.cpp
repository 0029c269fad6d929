#include "tray_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnok::tray {

QIcon TrayIconPicture() {
  QPixmap picture(32, 32);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(40, 90, 160));
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(2, 2, 28, 28, 6, 6);
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setBold(true);
  f.setPixelSize(20);
  p.setFont(f);
  p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("V"));
  return QIcon(picture);
}

QWidget* ShowMenuWindow(QMenu& menu) {
  auto* window = new QWidget(nullptr, Qt::Window);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setObjectName(QStringLiteral("CompanionWindow"));
  window->setWindowTitle(QStringLiteral("Varnok"));
  window->setWindowIcon(TrayIconPicture());
  auto* layout = new QVBoxLayout(window);
  auto* why = new QLabel(window);
  why->setObjectName(QStringLiteral("why"));
  why->setWordWrap(true);
  why->setText(QStringLiteral("This desktop offers no system tray (display platform \"%1\": no tray "
                              "host answered), so Varnok shows its menu in this window. Closing the "
                              "window ends Varnok.")
                   .arg(QGuiApplication::platformName()));
  auto* button = new QPushButton(QStringLiteral("Connections and commands"), window);
  button->setObjectName(QStringLiteral("menuButton"));
  button->setMenu(&menu);
  auto* notice = new QLabel(window);
  notice->setObjectName(QStringLiteral("notice"));
  notice->setWordWrap(true);
  layout->addWidget(why);
  layout->addWidget(button);
  layout->addWidget(notice);
  window->resize(420, 160);
  window->show();
  return window;
}

}  // namespace varnok::tray
