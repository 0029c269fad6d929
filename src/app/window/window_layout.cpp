#include "window/window_layout.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>

#include "pages/app_settings.h"
#include "pages/connection_pages.h"
#include "pages/settings_page.h"
#include "tree/tree_view.h"

namespace varnok::app {

namespace {

// Tahoma 8 pt, one point larger on screens wider than 1024 pixels.
void SetWindowFont(QMainWindow& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const bool wide = screen && screen->geometry().width() > 1024;
  QFont windowFont;
  windowFont.setFamilies(
      {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
  windowFont.setPointSize(wide ? 9 : 8);
  window.setFont(windowFont);
}

ConnectionTreeView* MakeTreeView(QWidget* parent) {
  auto* view = new ConnectionTreeView(parent);
  view->setObjectName(QStringLiteral("VT"));
  view->setHeaderHidden(true);
  view->setUniformRowHeights(true);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  // F2, or a click on the focused node, names it in place.
  view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  view->setIconSize(QSize(16, 18));
  view->setMinimumWidth(kMinTreeWidth);
  view->setAnimated(false);
  view->setExpandsOnDoubleClick(true);
  view->header()->setStretchLastSection(false);
  view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  return view;
}

// On a small window the settings page scrolls rather than squeezing its fields.
QScrollArea* InScrollArea(SettingsPage* page) {
  auto* scroll = new QScrollArea;
  scroll->setObjectName(QStringLiteral("TabSheet1Scroll"));
  scroll->setWidget(page);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return scroll;
}

}  // namespace

int EditorPointSize(const QMainWindow& window) { return window.font().pointSize() + 1; }

void SetUpWindow(QMainWindow& window) {
  SetWindowFont(window);
  window.setMinimumSize(kMinWindowWidth, kMinWindowHeight);
  window.setGeometry(kDesignedGeometry.left, kDesignedGeometry.top, kDesignedGeometry.width,
                     kDesignedGeometry.height);
}

WindowLayout BuildWindowLayout(QMainWindow& window) {
  WindowLayout layout;
  QSplitter* splitter = layout.splitter = new QSplitter(Qt::Horizontal, &window);
  splitter->setObjectName(QStringLiteral("Splitter1"));
  splitter->setHandleWidth(3);
  splitter->setChildrenCollapsible(false);
  layout.treeView = MakeTreeView(splitter);

  layout.pageControl = new QTabWidget(splitter);
  layout.pageControl->setObjectName(QStringLiteral("PG"));
  layout.pageControl->setMinimumWidth(350);
  layout.settingsPage = new SettingsPage;
  layout.pageControl->addTab(InScrollArea(layout.settingsPage), QStringLiteral("Settings"));
  layout.pages = new ConnectionPages(*layout.pageControl, EditorPointSize(window));

  splitter->addWidget(layout.treeView);
  splitter->addWidget(layout.pageControl);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({kDesignedTreeWidth, kDesignedGeometry.width - kDesignedTreeWidth});
  window.setCentralWidget(splitter);

  // The splitter stays at least 275 pixels from the left edge and 350 from the right.
  QObject::connect(splitter, &QSplitter::splitterMoved, splitter, [splitter](int pos, int) {
    const int total = splitter->width() - splitter->handleWidth();
    const int limit = std::min(kDesignedTreeWidth, total - 350);
    if (pos < limit) splitter->setSizes({limit, total - limit});
  });
  return layout;
}

}  // namespace varnok::app
