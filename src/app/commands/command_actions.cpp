#include "commands/command_actions.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStatusTipEvent>
#include <QSvgRenderer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <vector>

namespace varnok::app {

namespace {

QString Latin1(const char* text) { return QString::fromLatin1(text); }

// How long the reason of a greyed command's key stays in the status bar.
constexpr int kReasonShownMs = 5000;

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

// The glyphs are drawn in dark strokes for a light window; on a dark one the
// strokes take light colours so that an enabled glyph stands out.
QByteArray GlyphSvg(const char* name, bool darkWindow) {
  QFile file(QStringLiteral(":/icons/%1.svg").arg(Latin1(name)));
  QByteArray svg = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  if (darkWindow) svg.replace("#2d4461", "#c9d8ec").replace("#4d5358", "#d0d4d8");
  return svg;
}

// The glyph, and for its greyed state the same glyph faded well below the
// style's own disabled look, so that a greyed button never looks enabled.
QIcon Glyph(const char* name, bool darkWindow) {
  QSvgRenderer renderer(GlyphSvg(name, darkWindow));
  QIcon icon;
  for (int size : {20, 40}) {
    QPixmap normal(size, size);
    normal.fill(Qt::transparent);
    QPainter painter(&normal);
    renderer.render(&painter);
    painter.end();
    QPixmap faded(normal.size());
    faded.fill(Qt::transparent);
    painter.begin(&faded);
    painter.setOpacity(0.3);
    painter.drawPixmap(0, 0, normal);
    painter.end();
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(faded, QIcon::Disabled);
  }
  return icon;
}

// Lets a greyed menu item be highlighted, so that its status tip (why it is
// greyed) reaches the status bar.
class MenuStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

constexpr std::array<const char*, 6> kMenuTitles{nullptr,       "&File",    "&Edit",
                                                 "&Connection", "&Actions", "&Help"};
constexpr std::array<const char*, 6> kMenuNames{nullptr,        "MnFile",    "MnEdit",
                                                "MnConnection", "MnActions", "MnHelpMenu"};

}  // namespace

CommandActions::CommandActions(QMainWindow& window) : QObject(&window), window_(window) {
  menuStyle_ = new MenuStyle;
  menuStyle_->setParent(this);
  buildToolBar();
  buildMenus();
  buildContextMenu();
  clearReason_.setSingleShot(true);
  clearReason_.setInterval(kReasonShownMs);
  connect(&clearReason_, &QTimer::timeout, this, [this] {
    QStatusTipEvent none{QString()};
    QCoreApplication::sendEvent(&window_, &none);
  });
  window_.installEventFilter(this);
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

  const bool dark = window_.palette().color(QPalette::Window).lightness() < 128;
  const auto rows = Placed(&CommandSpec::toolSlot, [](const CommandSpec&) { return true; });
  Lay(
      rows, &CommandSpec::toolSlot,
      [this, dark](const CommandSpec& spec) {
        auto* action = new QAction(&window_);
        action->setObjectName(Latin1(spec.buttonName));
        action->setToolTip(Latin1(spec.hint));
        action->setText(Latin1(spec.hint));
        if (spec.glyph) action->setIcon(Glyph(spec.glyph, dark));
        if (spec.buttonShortcut) {
          action->setShortcut(QKeySequence(Latin1(spec.buttonShortcut)));
          action->setShortcutContext(Qt::WindowShortcut);
        }
        toolBar_->addAction(action);
        auto* widget = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action));
        if (widget) widget->setObjectName(Latin1(spec.buttonName));
        if (!spec.glyph && widget) {
          // A wider button that shows its caption ("Apply") instead of a glyph.
          action->setText(Latin1(spec.buttonText));
          widget->setToolButtonStyle(Qt::ToolButtonTextOnly);
          widget->setMinimumWidth(56);
        }
        buttonActions_[index(spec.id)] = action;
      },
      [this] { toolBar_->addSeparator(); });
}

void CommandActions::buildMenus() {
  QMenuBar* bar = window_.menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  for (std::size_t m = 1; m < menus_.size(); ++m) {
    QMenu* menu = bar->addMenu(Latin1(kMenuTitles[m]));
    menu->setObjectName(Latin1(kMenuNames[m]));
    menu->setStyle(menuStyle_);
    menus_[m] = menu;
    const auto id = static_cast<MenuId>(m);
    const auto rows = Placed(&CommandSpec::menuSlot, [](const CommandSpec&) { return true; });
    std::vector<const CommandSpec*> mine;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(mine), [id](auto* s) { return s->menu == id; });
    Lay(
        mine, &CommandSpec::menuSlot,
        [this, menu](const CommandSpec& spec) {
          QAction* action = nullptr;
          if (spec.id == Command::ImportTemplate || spec.id == Command::ImportFromTools) {
            QMenu* submenu = menu->addMenu(Latin1(spec.caption));
            submenu->setObjectName(Latin1(spec.menuName));
            submenu->setStyle(menuStyle_);
            (spec.id == Command::ImportTemplate ? templateMenu_ : foreignImportMenu_) = submenu;
            action = submenu->menuAction();
          } else {
            action = menu->addAction(Latin1(spec.caption));
            if (spec.shortcut) action->setShortcut(QKeySequence(Latin1(spec.shortcut)));
            // A menu-only command's hint is the item's tool tip.
            if (spec.hint && !spec.toolSlot) {
              action->setToolTip(Latin1(spec.hint));
              menu->setToolTipsVisible(true);
            }
          }
          action->setObjectName(Latin1(spec.menuName));
          menuActions_[index(spec.id)] = action;
        },
        [menu] { menu->addSeparator(); });
    connect(menu, &QMenu::aboutToShow, this, &CommandActions::menuOpening);
  }
}

void CommandActions::buildContextMenu() {
  contextMenu_ = new QMenu(&window_);
  contextMenu_->setObjectName(QStringLiteral("PopupMenu1"));
  contextMenu_->setStyle(menuStyle_);
  const auto rows = Placed(&CommandSpec::contextSlot, [](const CommandSpec&) { return true; });
  Lay(
      rows, &CommandSpec::contextSlot,
      [this](const CommandSpec& spec) {
        QAction* action = contextMenu_->addAction(Latin1(spec.caption));
        action->setObjectName(Latin1(spec.contextName));
        if (spec.shortcut) action->setShortcut(QKeySequence(Latin1(spec.shortcut)));
        contextActions_[index(spec.id)] = action;
      },
      [this] { contextMenu_->addSeparator(); });
}

void CommandActions::attachContextMenu(QWidget& widget, QWidget& origin) {
  widget.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&widget, &QWidget::customContextMenuRequested, this, [this, &origin](const QPoint& pos) {
    emit contextMenuRequested();
    contextMenu_->exec(origin.mapToGlobal(pos));
  });
}

void CommandActions::attachButton(Command id, QAbstractButton& button) { pageButtons_[index(id)] = &button; }

void CommandActions::setHandler(Command id, std::function<void()> handler) {
  handled_.set(id);
  auto shared = std::make_shared<std::function<void()>>(std::move(handler));
  for (QAction* action : {button(id), menuItem(id), contextItem(id)})
    if (action) connect(action, &QAction::triggered, this, [shared] { (*shared)(); });
  if (QAbstractButton* page = pageButtons_[index(id)])
    connect(page, &QAbstractButton::clicked, this, [shared] { (*shared)(); });
}

void CommandActions::disableButton(Command id) {
  if (QAction* action = button(id)) action->setEnabled(false);
}

void CommandActions::applyTo(QAction* action, Command id, bool enabled, const char* reason) const {
  const bool handled = handled_[id];
  action->setEnabled(enabled && handled);
  // A greyed command says why on the status bar.
  const char* why = !handled ? "Not available yet" : enabled ? "" : reason;
  action->setStatusTip(QString::fromLatin1(why));
}

void CommandActions::applyButtons(const CommandStates& states) {
  buttons_ = states;
  for (const CommandSpec& spec : CommandTable()) {
    if (QAction* action = button(spec.id)) {
      applyTo(action, spec.id, states[spec.id], states.reason(spec.id));
      // A greyed button's tool tip says why under its caption.
      const QString hint = Latin1(spec.hint);
      action->setToolTip(action->isEnabled() ? hint : hint + QLatin1Char('\n') + action->statusTip());
    }
    if (QAbstractButton* page = pageButtons_[index(spec.id)]) {
      page->setEnabled(states[spec.id] && handled_[spec.id]);
      page->setStatusTip(QString::fromLatin1(states[spec.id] ? "" : states.reason(spec.id)));
    }
  }
}

void CommandActions::applyMenus(const CommandStates& states) {
  for (const CommandSpec& spec : CommandTable())
    if (QAction* action = menuItem(spec.id))
      applyTo(action, spec.id, states[spec.id], states.reason(spec.id));
}

void CommandActions::applyContext(const ContextMenuStates& states) {
  for (const CommandSpec& spec : CommandTable()) {
    QAction* action = contextItem(spec.id);
    if (!action) continue;
    action->setVisible(!spec.treeOnly || states.treeItemsShown);
    applyTo(action, spec.id, states.enabled[spec.id], states.enabled.reason(spec.id));
  }
}

void CommandActions::applyAll(const CommandSnapshot& snapshot) {
  applyButtons(ButtonStates(snapshot));
  applyMenus(MenuStates(snapshot, buttons_));
  applyContext(ContextStates(snapshot, buttons_));
}

bool CommandActions::eventFilter(QObject* watched, QEvent* event) {
  // A key that reaches the window unused may be a greyed command's shortcut.
  if (watched == &window_ && event->type() == QEvent::KeyPress)
    tellWhyGreyed(QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()));
  return false;
}

void CommandActions::tellWhyGreyed(const QKeySequence& pressed) {
  for (const CommandSpec& spec : CommandTable())
    for (QAction* action : {menuItem(spec.id), button(spec.id)}) {
      if (!action || action->isEnabled() || action->shortcut() != pressed || action->statusTip().isEmpty())
        continue;
      // The same path as a greyed item under the mouse: the status tip.
      QStatusTipEvent tip(action->statusTip());
      QCoreApplication::sendEvent(&window_, &tip);
      clearReason_.start();
      return;
    }
}

void CommandActions::applyToMenus(const CommandSnapshot& snapshot) {
  applyMenus(MenuStates(snapshot, buttons_));
}

}  // namespace varnok::app
