#include "window/window_geometry.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSplitter>
#include <algorithm>

namespace varnok::app {

namespace {

IntRect ToRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

LoadContext ScreenContext(const QMainWindow& window, std::optional<bool> hasCommandLineParameter) {
  LoadContext context;
  context.hasCommandLineParameter =
      hasCommandLineParameter ? *hasCommandLineParameter : QCoreApplication::arguments().size() > 1;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    context.workArea = ToRect(screen->availableGeometry());
    context.screen = ToRect(screen->geometry());
  }
  context.currentWindowWidth = window.width();
  return context;
}

void ApplyGeometry(QMainWindow& window, QSplitter& splitter, QWidget& tree, const AppSettings& settings) {
  const IntRect& g = settings.geometry;
  window.move(g.left, g.top);
  window.resize(g.width, g.height);
  const int total = splitter.width() - splitter.handleWidth();
  splitter.setSizes({settings.treeWidth, std::max(total - settings.treeWidth, 0)});
  tree.resize(settings.treeWidth, tree.height());
  if (settings.maximized) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void NarrowTreeToFit(QSplitter& splitter, const QWidget& tree, const QWidget& pages) {
  const int client = splitter.width();
  const int handle = splitter.handleWidth();
  const int room = client - handle - pages.width();
  if (room < tree.width()) {
    const int narrowed = std::max(room, kMinTreeWidth);
    splitter.setSizes({narrowed, std::max(client - handle - narrowed, 0)});
  }
}

}  // namespace varnok::app
