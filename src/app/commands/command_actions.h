#pragma once
// The window's commands as Qt actions, built from the command table: the tool
// bar's buttons (Btn...), the main menu's items (Mn...) and the context menu's
// items (pm...). A menu item that follows a button is an action of its own;
// the refresh gives it the button's state.
//
// Handlers are registered here, and this is the one place where a command
// without a handler is kept disabled, whatever its rule says.
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>

#include "commands/command_id.h"
#include "commands/command_rules.h"
#include "commands/command_table.h"

class QAbstractButton;
class QAction;
class QKeySequence;
class QMainWindow;
class QMenu;
class QToolBar;
class QStyle;
class QWidget;

namespace varnok::app {

class CommandActions : public QObject {
  Q_OBJECT
 public:
  // Builds the tool bar and the menu bar of `window`, and the context menu.
  explicit CommandActions(QMainWindow& window);

  // A button of a page that follows the command's rule (the Colors page's
  // buttons); attach it before setting the handler.
  void attachButton(Command id, QAbstractButton& button);

  // Runs `handler` when the command's button, menu item, context item or
  // attached page button is triggered.
  void setHandler(Command id, std::function<void()> handler);

  // The context menu opens on a right click into `widget`; `origin` is
  // where the click's point lies (a viewport). contextMenuRequested() comes
  // first, so that the menu opens with the states of a finished refresh.
  void attachContextMenu(QWidget& widget, QWidget& origin);

  // Applies the rules to every button, menu item and context item.
  void applyAll(const CommandSnapshot& snapshot);
  // Applies the rules to the menu items only (a menu opens).
  void applyToMenus(const CommandSnapshot& snapshot);

  // The button disables itself before its work (Apply); the next refresh decides again.
  void disableButton(Command id);
  QAction* button(Command id) const { return buttonActions_[index(id)]; }
  QAction* menuItem(Command id) const { return menuActions_[index(id)]; }
  QAction* contextItem(Command id) const { return contextActions_[index(id)]; }
  QMenu* menu(MenuId id) const { return menus_[static_cast<std::size_t>(id)]; }
  QMenu* templateMenu() const { return templateMenu_; }
  QMenu* foreignImportMenu() const { return foreignImportMenu_; }

 signals:
  // A menu is about to open: its items want the window's state now (applyToMenus).
  void menuOpening();
  void contextMenuRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static std::size_t index(Command id) { return static_cast<std::size_t>(id); }
  void buildToolBar();
  void buildMenus();
  void buildContextMenu();
  void applyButtons(const CommandStates& states);
  void applyMenus(const CommandStates& states);
  // Enables the action, or disables it with the reason as its status tip.
  void applyTo(QAction* action, Command id, bool enabled, const char* reason) const;
  void applyContext(const ContextMenuStates& states);
  // The shortcut of a greyed command was pressed: its reason goes to the
  // status bar for a few seconds.
  void tellWhyGreyed(const QKeySequence& pressed);

  QMainWindow& window_;
  QToolBar* toolBar_ = nullptr;
  std::array<QMenu*, 6> menus_{};
  QMenu* templateMenu_ = nullptr;
  QMenu* foreignImportMenu_ = nullptr;
  QMenu* contextMenu_ = nullptr;
  QStyle* menuStyle_ = nullptr;
  std::array<QAction*, kCommandCount> buttonActions_{};
  std::array<QAction*, kCommandCount> menuActions_{};
  std::array<QAction*, kCommandCount> contextActions_{};
  std::array<QAbstractButton*, kCommandCount> pageButtons_{};
  CommandFlags handled_;
  CommandStates buttons_;
  QTimer clearReason_;
};

}  // namespace varnok::app
