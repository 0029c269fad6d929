#pragma once
// Which text-bearing control has the keyboard focus: the tree, the macro or
// popup editor, a field of the settings page, or the tree's in-place name
// editor. The editing commands act on it and the enabling rules read it.
#include "commands/command_rules.h"

class QLineEdit;
class QTreeView;
class QWidget;
class QsciScintilla;

namespace varnok::app {

class ConnectionPages;
class SettingsPage;

struct FocusedField {
  FocusKind kind = FocusKind::None;
  QsciScintilla* editor = nullptr;  // MacroEditor, PopupEditor
  QLineEdit* field = nullptr;       // SettingsField, InPlaceEditor
};

FocusedField FindFocusedField(const QTreeView& tree, const ConnectionPages& pages,
                              const SettingsPage& settingsPage);

// The tree's in-place name editor, while one is open.
QLineEdit* InPlaceEditor(const QTreeView& tree);

}  // namespace varnok::app
