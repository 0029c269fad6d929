#include "command_actions.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <vector>

namespace varnok::app {

namespace {

QString Latin1(const char* text) { return QString::fromLatin1(text); }

// The rows placed somewhere, by ascending slot.
std::vector<const CommandSpec*> Placed(std::uint8_t CommandSpec::*slot, bool (*keep)(const CommandSpec&)) {
  std::vector<const CommandSpec*> rows;
  for (const CommandSpec& spec : CommandTable())
    if (spec.*slot != 0 && keep(spec)) rows.push_back(&spec);
  std::stable_sort(rows.begin(), rows.end(), [slot](auto* a, auto* b) { return a->*slot < b->*slot; });
  return rows;
}

// Calls `add` for every row and `separate` between groups.
template <typename Add, typename Separate>
void Lay(const std::vector<const CommandSpec*>& rows, std::uint8_t CommandSpec::*slot, Add add,
         Separate separate) {
  int group = -1;
  for (const CommandSpec* spec : rows) {
    if (group != -1 && SlotGroup(spec->*slot) != group) separate();
    group = SlotGroup(spec->*slot);
    add(*spec);
  }
}

constexpr std::array<const char*, 6> kMenuTitles{nullptr, "&File", "&Edit", "&Connection", "&Actions", "&Help"};
constexpr std::array<const char*, 6> kMenuNames{nullptr, "MnFile", "MnEdit", "MnConnection", "MnActions",
                                                "MnHelpMenu"};

}  // namespace

CommandActions::CommandActions(QMainWindow& window) : QObject(&window), window_(window) {
  buildToolBar();
  buildMenus();
  buildContextMenu();
}

void CommandActions::buildToolBar() {
  toolBar_ = new QToolBar(QStringLiteral("ToolBar1"), &window_);
  toolBar_->setObjectName(QStringLiteral("ToolBar1"));
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setIconSize(QSize(20, 20));
  toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
  window_.addToolBar(Qt::TopToolBarArea, toolBar_);

  const auto rows = Placed(&CommandSpec::toolSlot, [](const CommandSpec&) { return true; });
  Lay(
      rows, &CommandSpec::toolSlot,
      [this](const CommandSpec& spec) {
        auto* action = new QAction(&window_);
        action->setObjectName(Latin1(spec.buttonName));
        action->setToolTip(Latin1(spec.hint));
        action->setText(Latin1(spec.hint));
        if (spec.glyph) action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(Latin1(spec.glyph))));
        if (spec.buttonShortcut) {
          action->setShortcut(QKeySequence(Latin1(spec.buttonShortcut)));
          action->setShortcutContext(Qt::WindowShortcut);
        }
        toolBar_->addAction(action);
        auto* widget = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action));
        if (widget) widget->setObjectName(Latin1(spec.buttonName));
        if (!spec.glyph && widget) {
          // A wider button that shows its caption ("Apply") instead of a glyph.
          action->setText(QString::fromLatin1(spec.caption).remove(QLatin1Char('&')).section(QLatin1Char(' '), 0, 0));
          widget->setToolButtonStyle(Qt::ToolButtonTextOnly);
          widget->setMinimumWidth(56);
        }
        buttonActions_[Index(spec.id)] = action;
      },
      [this] { toolBar_->addSeparator(); });
}

void CommandActions::buildMenus() {
  QMenuBar* bar = window_.menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  for (std::size_t m = 1; m < menus_.size(); ++m) {
    QMenu* menu = bar->addMenu(Latin1(kMenuTitles[m]));
    menu->setObjectName(Latin1(kMenuNames[m]));
    menus_[m] = menu;
    const auto id = static_cast<MenuId>(m);
    const auto rows = Placed(&CommandSpec::menuSlot, [](const CommandSpec&) { return true; });
    std::vector<const CommandSpec*> mine;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(mine), [id](auto* s) { return s->menu == id; });
    Lay(
        mine, &CommandSpec::menuSlot,
        [this, menu](const CommandSpec& spec) {
          QAction* action = nullptr;
          if (spec.id == Command::ImportTemplate) {
            templateMenu_ = menu->addMenu(Latin1(spec.caption));
            templateMenu_->setObjectName(Latin1(spec.menuName));
            action = templateMenu_->menuAction();
          } else {
            action = menu->addAction(Latin1(spec.caption));
            if (spec.shortcut) action->setShortcut(QKeySequence(Latin1(spec.shortcut)));
          }
          action->setObjectName(Latin1(spec.menuName));
          menuActions_[Index(spec.id)] = action;
        },
        [menu] { menu->addSeparator(); });
    connect(menu, &QMenu::aboutToShow, this, &CommandActions::refreshMenus);
  }
}

void CommandActions::buildContextMenu() {
  contextMenu_ = new QMenu(&window_);
  contextMenu_->setObjectName(QStringLiteral("PopupMenu1"));
  const auto rows = Placed(&CommandSpec::contextSlot, [](const CommandSpec&) { return true; });
  Lay(
      rows, &CommandSpec::contextSlot,
      [this](const CommandSpec& spec) {
        QAction* action = contextMenu_->addAction(Latin1(spec.caption));
        action->setObjectName(Latin1(spec.contextName));
        if (spec.shortcut) action->setShortcut(QKeySequence(Latin1(spec.shortcut)));
        contextActions_[Index(spec.id)] = action;
      },
      [this] { contextMenu_->addSeparator(); });
}

void CommandActions::setHandler(Command id, std::function<void()> handler) {
  handled_.set(id);
  auto shared = std::make_shared<std::function<void()>>(std::move(handler));
  for (QAction* action : {button(id), menuItem(id), contextItem(id)})
    if (action) connect(action, &QAction::triggered, this, [shared] { (*shared)(); });
}

void CommandActions::disableButton(Command id) {
  if (QAction* action = button(id)) action->setEnabled(false);
}

void CommandActions::applyButtons(const CommandFlags& states) {
  buttons_ = states;
  for (const CommandSpec& spec : CommandTable())
    if (QAction* action = button(spec.id)) action->setEnabled(states[spec.id] && handled_[spec.id]);
}

void CommandActions::applyMenus(const CommandFlags& states) {
  for (const CommandSpec& spec : CommandTable())
    if (QAction* action = menuItem(spec.id)) action->setEnabled(states[spec.id] && handled_[spec.id]);
}

void CommandActions::applyContext(const ContextMenuStates& states) {
  for (const CommandSpec& spec : CommandTable()) {
    QAction* action = contextItem(spec.id);
    if (!action) continue;
    action->setVisible(!spec.treeOnly || states.treeItemsShown);
    action->setEnabled(states.enabled[spec.id] && handled_[spec.id]);
  }
}

void CommandActions::applyAll(const CommandSnapshot& snapshot) {
  applyButtons(ButtonStates(snapshot));
  applyMenus(MenuStates(snapshot, buttons_));
  applyContext(ContextStates(snapshot, buttons_));
}

void CommandActions::refreshMenus() {
  if (snapshot_) applyMenus(MenuStates(snapshot_(), buttons_));
}

}  // namespace varnok::app
