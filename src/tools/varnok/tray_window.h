#pragma once
// The companion's face: its tray icon's picture, and the small window that
// holds the tray menu on a desktop without a system tray.
#include <QIcon>

class QMenu;
class QWidget;

namespace varnok::tray {

QIcon TrayIconPicture();

// Shows a window that says why there is no tray icon, with a button opening
// `menu` and a label "notice" for the latest notice. It deletes itself when
// closed.
QWidget* ShowMenuWindow(QMenu& menu);

}  // namespace varnok::tray
