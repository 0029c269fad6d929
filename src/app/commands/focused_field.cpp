#include "commands/focused_field.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QLineEdit>
#include <QTreeView>

#include "pages/connection_pages.h"
#include "pages/macro_page.h"
#include "pages/popup_page.h"
#include "pages/schedule_page.h"
#include "pages/settings_page.h"

namespace varnok::app {

QLineEdit* InPlaceEditor(const QTreeView& tree) {
  return tree.findChild<QLineEdit*>(QStringLiteral("VTEditor"));
}

FocusedField FindFocusedField(const QTreeView& tree, const ConnectionPages& pages,
                              const SettingsPage& settingsPage) {
  QWidget* focus = QApplication::focusWidget();
  if (!focus) return {};
  if (focus == &tree) return {FocusKind::Tree};
  if (focus == &pages.macro().editor()) return {FocusKind::MacroEditor, &pages.macro().editor()};
  if (focus == &pages.popup().editor()) return {FocusKind::PopupEditor, &pages.popup().editor()};
  auto* line = qobject_cast<QLineEdit*>(focus);
  if (!line) return {};
  if (settingsPage.textFields().contains(line)) return {FocusKind::SettingsField, nullptr, line};
  if (pages.schedule().isField(line)) return {FocusKind::ScheduleField, nullptr, line};
  if (line == InPlaceEditor(tree)) return {FocusKind::InPlaceEditor, nullptr, line};
  return {};
}

}  // namespace varnok::app
