#pragma once
// The window's commands: the tool bar buttons (Btn...) and the menu items
// (Mn...), each a QAction with its object name, tool tip and shortcut. Menu
// items whose state follows a tool button are separate actions: their state
// is copied from the button by the command refresh and when a menu opens.
#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace varnok::app {

struct ToolButtons {
  QAction *newFile, *open, *save, *saveAs;
  QAction *addChild, *addSibling, *remove, *moveUp, *moveDown;
  QAction *undo, *cut, *copy, *paste;
  QAction *runToCursor, *run, *runBranchToCursor, *runBranch;
  QAction* apply;
};

struct MenuItems {
  // File
  QAction *newFile, *open, *save, *saveAs, *importConnection, *exportConnection, *importMacro, *exportMacro,
      *close;
  QMenu* importTemplate;
  QAction* importTemplateMenu;  // the submenu's own item
  QAction* recentBlockStart;    // separator before the recent files
  // Edit
  QAction *undo, *cut, *copy, *paste, *selectAll;
  // Connection
  QAction *addChild, *addSibling, *duplicate, *remove, *addSeparator, *moveUp, *moveDown, *expandAll, *collapseAll,
      *apply;
  // Actions
  QAction *runToCursor, *run, *runBranchToCursor, *runBranch, *runAllSelected, *showPopup;
  // Help
  QAction *varnokHelp, *corvaneHelp, *macroHelp, *license, *about;
};

class CommandSet : public QObject {
  Q_OBJECT
 public:
  // Builds the tool bar and the menu bar of `window`.
  explicit CommandSet(QMainWindow& window);

  ToolButtons buttons{};
  MenuItems menu{};
  QToolBar* toolBar = nullptr;
  QMenu *fileMenu = nullptr, *editMenu = nullptr, *connectionMenu = nullptr, *actionsMenu = nullptr,
        *helpMenu = nullptr;

  // Copies the state of each tool button to its menu twin.
  void copyButtonStatesToMenus();

 private:
  QAction* button(const char* name, const char* icon, const char* toolTip);
  QAction* item(QMenu* menu, const char* name, const char* text, const QString& shortcut = QString());
  void buildToolBar();
  void buildMenus();

  QMainWindow& window_;
};

}  // namespace varnok::app
