#include "tray_menu.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

#include "find_window.h"

namespace varnok::tray {
namespace {

// Fills `menu` by `fillOnce` the first time it is about to be shown.
void FillWhenOpened(QMenu* menu, std::function<void()> fillOnce) {
  auto done = std::make_shared<bool>(false);
  QObject::connect(menu, &QMenu::aboutToShow, menu, [done, fillOnce = std::move(fillOnce)] {
    if (*done) return;
    *done = true;
    fillOnce();
  });
}

}  // namespace

QString MenuText(std::string_view name) {
  QString text = QString::fromLocal8Bit(name.data(), static_cast<qsizetype>(name.size()));
  text.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return text;
}

TrayMenu::TrayMenu(TrayMenuItems items, QObject* parent)
    : QObject(parent), items_(std::move(items)), menu_(std::make_unique<QMenu>()) {
  menu_->setObjectName(QStringLiteral("TrayMenu"));
  addFindItem();
  addFixedItems();
}

TrayMenu::~TrayMenu() = default;

void TrayMenu::addFindItem() {
  QAction* find = menu_->addAction(QStringLiteral("Find..."));
  find->setObjectName(QStringLiteral("find"));
  connect(find, &QAction::triggered, this, &TrayMenu::showFindWindow);
  menu_->addSeparator();
}

void TrayMenu::showFindWindow() {
  if (!findWindow_) {
    findWindow_ = std::make_unique<FindWindow>([this](int index) {
      if (items_.runConnection) items_.runConnection(index);
    });
    findWindow_->setTree(tree_);
  }
  findWindow_->show();
  findWindow_->raise();
  findWindow_->activateWindow();
  findWindow_->field()->setFocus();
  findWindow_->field()->selectAll();
}

void TrayMenu::setTree(const ConnectionTree* tree, const QString& note) {
  tree_ = tree;
  if (findWindow_) findWindow_->setTree(tree_);
  menu_->clear();
  for (QMenu* sub : menu_->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) sub->deleteLater();
  addFindItem();
  if (!note.isEmpty()) {
    QAction* line = menu_->addAction(note);
    line->setEnabled(false);
    line->setObjectName(QStringLiteral("note"));
    menu_->addSeparator();
  }
  if (tree_ && tree_->top()->hasChildren()) {
    fill(menu_.get(), tree_->top(), 0, tree_->top()->childCount(), 0);
    menu_->addSeparator();
  }
  addFixedItems();
}

void TrayMenu::fill(QMenu* menu, const TreeNode* parent, int first, int count, int depth) {
  if (count <= kPerMenu) {
    for (int row = first; row < first + count; ++row) addNode(menu, parent->child(row), depth);
    return;
  }
  int group = kPerMenu;
  while (count > group * kPerMenu) group *= kPerMenu;
  for (int start = first; start < first + count; start += group) {
    const int size = std::min(group, first + count - start);
    QString title = MenuText(parent->child(start)->name()) + QStringLiteral(" \u2026 ") +
                    MenuText(parent->child(start + size - 1)->name());
    QMenu* sub = menu->addMenu(title);
    FillWhenOpened(sub, [this, sub, parent, start, size, depth] { fill(sub, parent, start, size, depth); });
  }
}

QAction* TrayMenu::addConnectionAction(QMenu* menu, const TreeNode* node, const QString& text) {
  QAction* action = menu->addAction(text);
  connect(action, &QAction::triggered, this, [this, node] {
    if (items_.runConnection && tree_) items_.runConnection(tree_->absoluteIndex(node));
  });
  return action;
}

void TrayMenu::addNode(QMenu* menu, const TreeNode* node, int depth) {
  if (node->isSeparator()) {
    menu->addSeparator();
    return;
  }
  if (!node->hasChildren()) {
    addConnectionAction(menu, node, MenuText(node->name()));
    return;
  }
  QMenu* sub = menu->addMenu(MenuText(node->name()));
  FillWhenOpened(sub, [this, sub, node, depth] {
    QAction* self = addConnectionAction(sub, node, MenuText(node->name()));
    QFont bold = self->font();
    bold.setBold(true);
    self->setFont(bold);
    sub->addSeparator();
    if (depth + 1 < kMaxMenuDepth) {
      fill(sub, node, 0, node->childCount(), depth + 1);
      return;
    }
    QAction* note =
        sub->addAction(QStringLiteral("\u2026 deeper levels not shown: %1").arg(node->subtreeSize() - 1));
    note->setEnabled(false);
    note->setObjectName(QStringLiteral("deeperNote"));
  });
}

void TrayMenu::addFixedItems() {
  auto add = [this](const char* text, const char* name, const std::function<void()>& f) {
    QAction* a = menu_->addAction(QString::fromLatin1(text));
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, [f] {
      if (f) f();
    });
  };
  add("Open configuration", "openConfiguration", items_.openConfiguration);
  add("Run last connection", "runLast", items_.runLast);
  add("Start Corvane", "startEmulator", items_.startEmulator);
  add("Start last executed macro", "startLastMacro", items_.startLastMacro);
  if (items_.canShowDesktop) add("Show desktop", "showDesktop", items_.showDesktop);
  if (items_.canStartScreenSaver) add("Start screen saver", "startScreenSaver", items_.startScreenSaver);
  if (items_.canLockScreen) add("Lock the screen", "lockScreen", items_.lockScreen);
  add("Run history", "showHistory", items_.showHistory);
  menu_->addSeparator();
  add("Exit", "exit", items_.exit);
}

}  // namespace varnok::tray
