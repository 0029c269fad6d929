#include "command_set.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace varnok::app {

CommandSet::CommandSet(QMainWindow& window) : QObject(&window), window_(window) {
  buildToolBar();
  buildMenus();
}

QAction* CommandSet::button(const char* name, const char* icon, const char* toolTip) {
  auto* action = new QAction(&window_);
  action->setObjectName(QString::fromLatin1(name));
  if (icon) action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
  action->setToolTip(QString::fromLatin1(toolTip));
  action->setText(QString::fromLatin1(toolTip));
  toolBar->addAction(action);
  if (auto* b = toolBar->widgetForAction(action)) b->setObjectName(QString::fromLatin1(name));
  return action;
}

QAction* CommandSet::item(QMenu* m, const char* name, const char* text, const QString& shortcut) {
  QAction* action = m->addAction(QString::fromLatin1(text));
  action->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
  return action;
}

void CommandSet::buildToolBar() {
  toolBar = new QToolBar(QStringLiteral("ToolBar1"), &window_);
  toolBar->setObjectName(QStringLiteral("ToolBar1"));
  toolBar->setMovable(false);
  toolBar->setFloatable(false);
  toolBar->setIconSize(QSize(20, 20));
  toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
  window_.addToolBar(Qt::TopToolBarArea, toolBar);

  auto& b = buttons;
  b.newFile = button("BtnNew", "new", "New (Ctrl+N)");
  b.open = button("BtnOpen", "open", "Open (Ctrl+O)");
  b.save = button("BtnSave", "save", "Save (Ctrl+S)");
  b.saveAs = button("BtnSaveAs", "save_as", "Save as ...");
  toolBar->addSeparator();
  b.addChild = button("BtnAddChild", "add_child", "Add child (Ctrl-I)");
  b.addSibling = button("BtnAddSibling", "add_sibling", "Add sibling (Ctrl-Alt-I)");
  b.remove = button("BtnDelete", "delete", "Delete selected (Ctrl+Delete)");
  toolBar->addSeparator();
  b.moveUp = button("BtnMoveUp", "move_up", "Move up (Ctrl+Alt+U)");
  b.moveDown = button("BtnMoveDown", "move_down", "Move down (Ctrl+Alt+D)");
  toolBar->addSeparator();
  b.undo = button("BtnUndo", "undo", "Undo (Ctrl+Z)");
  b.cut = button("BtnCut", "cut", "Cut (Ctrl+X)");
  b.copy = button("BtnCopy", "copy", "Copy (Ctrl+C)");
  b.paste = button("BtnPaste", "paste", "Paste (Ctrl+V)");
  toolBar->addSeparator();
  b.runToCursor = button("BtnRunToCursor", "run_to_cursor", "Run to cursor (F8)");
  b.run = button("BtnRun", "run", "Run (F9)");
  b.runBranchToCursor = button("BtnRunBranchToCursor", "run_branch_to_cursor", "Run branch to cursor (Ctrl-F8)");
  b.runBranch = button("BtnRunBranch", "run_branch", "Run branch (Ctrl-F9)");
  toolBar->addSeparator();
  b.apply = button("BtnApply", nullptr, "Apply changes (F12)");
  b.apply->setText(QStringLiteral("Apply"));
  if (auto* w = qobject_cast<QToolButton*>(toolBar->widgetForAction(b.apply))) {
    w->setToolButtonStyle(Qt::ToolButtonTextOnly);
    w->setMinimumWidth(56);
  }
  // The Apply button's tool tip names F12: it applies like the button.
  b.apply->setShortcut(QKeySequence(Qt::Key_F12));
  b.apply->setShortcutContext(Qt::WindowShortcut);
}

void CommandSet::buildMenus() {
  QMenuBar* bar = window_.menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  auto& m = menu;

  fileMenu = bar->addMenu(QStringLiteral("&File"));
  fileMenu->setObjectName(QStringLiteral("MnFile"));
  m.newFile = item(fileMenu, "MnNewTable", "&New", QStringLiteral("Ctrl+N"));
  m.open = item(fileMenu, "MnOpenTable", "&Open ...", QStringLiteral("Ctrl+O"));
  m.save = item(fileMenu, "MnSaveTable", "&Save", QStringLiteral("Ctrl+S"));
  m.saveAs = item(fileMenu, "MnSaveTableAs", "Save &as ...");
  fileMenu->addSeparator();
  m.importConnection = item(fileMenu, "MnImportConnection", "Import connection ...");
  m.exportConnection = item(fileMenu, "MnExportConnection", "Export connection ...");
  fileMenu->addSeparator();
  m.importTemplate = fileMenu->addMenu(QStringLiteral("Import macro Template"));
  m.importTemplate->setObjectName(QStringLiteral("MnImportTemplate"));
  m.importTemplateMenu = m.importTemplate->menuAction();
  m.importTemplateMenu->setObjectName(QStringLiteral("MnImportTemplate"));
  m.importMacro = item(fileMenu, "MnImportMacro", "Import macro ...");
  m.exportMacro = item(fileMenu, "MnExportMacro", "Export macro ...");
  m.recentBlockStart = fileMenu->addSeparator();
  m.close = item(fileMenu, "MnClose", "&Close");

  editMenu = bar->addMenu(QStringLiteral("&Edit"));
  editMenu->setObjectName(QStringLiteral("MnEdit"));
  m.undo = item(editMenu, "MnUndo", "&Undo", QStringLiteral("Ctrl+Z"));
  editMenu->addSeparator();
  m.cut = item(editMenu, "MnCut", "Cu&t", QStringLiteral("Ctrl+X"));
  m.copy = item(editMenu, "MnCopy", "&Copy", QStringLiteral("Ctrl+C"));
  m.paste = item(editMenu, "MnPaste", "&Paste", QStringLiteral("Ctrl+V"));
  m.selectAll = item(editMenu, "MnSelectAll", "Select &All", QStringLiteral("Ctrl+A"));

  connectionMenu = bar->addMenu(QStringLiteral("&Connection"));
  connectionMenu->setObjectName(QStringLiteral("MnConnection"));
  m.addChild = item(connectionMenu, "MnAddChild", "Add child", QStringLiteral("Ctrl+I"));
  m.addSibling = item(connectionMenu, "MnAddSibling", "Add sibling", QStringLiteral("Ctrl+Alt+I"));
  m.duplicate = item(connectionMenu, "MnDuplicate", "Duplicate selected", QStringLiteral("Ctrl+Alt+D"));
  m.remove = item(connectionMenu, "MnDelete", "Delete selected", QStringLiteral("Ctrl+Del"));
  connectionMenu->addSeparator();
  m.addSeparator = item(connectionMenu, "MnAddSeparator", "Add separator line", QStringLiteral("Ctrl+L"));
  connectionMenu->addSeparator();
  m.moveUp = item(connectionMenu, "MnMoveUp", "Move up", QStringLiteral("Ctrl+U"));
  m.moveDown = item(connectionMenu, "MnMoveDown", "Move down", QStringLiteral("Ctrl+D"));
  connectionMenu->addSeparator();
  m.expandAll = item(connectionMenu, "MnExpandAll", "Expand all");
  m.collapseAll = item(connectionMenu, "MnCollapseAll", "Collapse all");
  connectionMenu->addSeparator();
  m.apply = item(connectionMenu, "MnApply", "Apply changes");

  actionsMenu = bar->addMenu(QStringLiteral("&Actions"));
  actionsMenu->setObjectName(QStringLiteral("MnActions"));
  m.runToCursor = item(actionsMenu, "MnExecuteToCursor", "Run to cursor", QStringLiteral("F8"));
  m.run = item(actionsMenu, "MnExecute", "Run", QStringLiteral("F9"));
  m.runBranchToCursor = item(actionsMenu, "MnExecuteBranchToCursor", "Run branch to cursor", QStringLiteral("Ctrl+F8"));
  m.runBranch = item(actionsMenu, "MnExecuteBranch", "Run branch", QStringLiteral("Ctrl+F9"));
  m.runAllSelected = item(actionsMenu, "MnRunAllSelected", "Run all selected");
  actionsMenu->addSeparator();
  m.showPopup = item(actionsMenu, "MnShowPopup", "Show popup");

  helpMenu = bar->addMenu(QStringLiteral("&Help"));
  helpMenu->setObjectName(QStringLiteral("MnHelpMenu"));
  m.varnokHelp = item(helpMenu, "MnHelp", "Varnok Help", QStringLiteral("F1"));
  m.corvaneHelp = item(helpMenu, "MnCorvaneHelp", "Corvane Help", QStringLiteral("Ctrl+F1"));
  m.macroHelp = item(helpMenu, "MnMacroHelp", "Corvane Macro Language Help", QStringLiteral("Shift+F1"));
  helpMenu->addSeparator();
  m.license = item(helpMenu, "MnLicense", "Freeware License Agreement");
  m.about = item(helpMenu, "MnAbout", "About Varnok");
  m.varnokHelp->setEnabled(false);
}

void CommandSet::copyButtonStatesToMenus() {
  const auto& b = buttons;
  auto& m = menu;
  m.newFile->setEnabled(b.newFile->isEnabled());
  m.open->setEnabled(b.open->isEnabled());
  m.save->setEnabled(b.save->isEnabled());
  m.saveAs->setEnabled(b.saveAs->isEnabled());
  m.undo->setEnabled(b.undo->isEnabled());
  m.cut->setEnabled(b.cut->isEnabled());
  m.copy->setEnabled(b.copy->isEnabled());
  m.paste->setEnabled(b.paste->isEnabled());
  m.addChild->setEnabled(b.addChild->isEnabled());
  m.addSibling->setEnabled(b.addSibling->isEnabled());
  m.remove->setEnabled(b.remove->isEnabled());
  m.moveUp->setEnabled(b.moveUp->isEnabled());
  m.moveDown->setEnabled(b.moveDown->isEnabled());
  m.apply->setEnabled(b.apply->isEnabled());
  m.collapseAll->setEnabled(!m.apply->isEnabled());
  m.runToCursor->setEnabled(b.runToCursor->isEnabled());
  m.run->setEnabled(b.run->isEnabled());
  m.runBranchToCursor->setEnabled(b.runBranchToCursor->isEnabled());
  m.runBranch->setEnabled(b.runBranch->isEnabled());
}

}  // namespace varnok::app
