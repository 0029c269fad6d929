#pragma once
// The window's fixed parts: its font and designed size, and the splitter with
// the connection tree on the left and the page control (the Settings page and
// the connection pages) on the right. The window wires them to its helpers.
class QMainWindow;
class QSplitter;
class QTabWidget;

namespace varnok::app {

class ConnectionPages;
class ConnectionTreeView;
class SettingsPage;

struct WindowLayout {
  QSplitter* splitter = nullptr;
  ConnectionTreeView* treeView = nullptr;
  QTabWidget* pageControl = nullptr;
  SettingsPage* settingsPage = nullptr;
  ConnectionPages* pages = nullptr;
};

// Sets the window's font, least and designed size.
void SetUpWindow(QMainWindow& window);
// Builds the splitter and its two sides, and makes it the central widget.
WindowLayout BuildWindowLayout(QMainWindow& window);

// The point size of the macro and popup editors, one above the window's.
int EditorPointSize(const QMainWindow& window);

}  // namespace varnok::app
