#pragma once
// The tray's menu: "Find..." (find_window.h), the connections of the tree,
// then the program's own items.
// A connection with children is a submenu whose first item runs the
// connection itself; separator lines are menu separators. Submenus are
// filled when they are first opened, and a level with many connections is
// split into submenus of at most kPerMenu items, so that no menu takes long
// to open whatever the size of the tree. Submenus nest kMaxMenuDepth deep at
// most: a connection with children at that depth gets a submenu with itself
// and a note of how many connections below are not shown.
#include <QObject>
#include <functional>
#include <memory>
#include <string_view>

#include "model/connection_tree.h"

class QAction;
class QMenu;

namespace varnok::tray {

class FindWindow;

struct TrayMenuItems {
  std::function<void(int)> runConnection;  // absolute index
  std::function<void()> openConfiguration, runLast, startEmulator, startLastMacro, showDesktop,
      startScreenSaver, lockScreen, showHistory, exit;
  // Which desktop actions exist here.
  bool canShowDesktop = false;
  bool canStartScreenSaver = false;
  bool canLockScreen = false;
};

class TrayMenu : public QObject {
  Q_OBJECT
 public:
  static constexpr int kPerMenu = 40;
  static constexpr int kMaxMenuDepth = 32;

  explicit TrayMenu(TrayMenuItems items, QObject* parent = nullptr);
  ~TrayMenu() override;

  QMenu* menu() const { return menu_.get(); }
  // The "Find..." window, once opened (null before).
  FindWindow* findWindow() const { return findWindow_.get(); }
  // Shows `tree` (which must outlive the menu's use of it, until the next
  // call); `note` is a line above the connections ("" for none).
  void setTree(const ConnectionTree* tree, const QString& note);

 private:
  // `depth`: how many connection submenus `menu` lies in (0 for the tray menu).
  void fill(QMenu* menu, const TreeNode* parent, int first, int count, int depth);
  void addNode(QMenu* menu, const TreeNode* node, int depth);
  void addFixedItems();
  void addFindItem();
  void showFindWindow();
  QAction* addConnectionAction(QMenu* menu, const TreeNode* node, const QString& text);

  TrayMenuItems items_;
  std::unique_ptr<QMenu> menu_;
  const ConnectionTree* tree_ = nullptr;
  std::unique_ptr<FindWindow> findWindow_;
};

// A name as menu text: "&" would mark a shortcut letter.
QString MenuText(std::string_view name);

}  // namespace varnok::tray
