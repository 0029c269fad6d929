#pragma once
// The one declarative list of the window's commands: for each its traits
// (how its menu item is enabled, whether it waits for a multi-run), its
// tool-bar button (object name, glyph, tool tip), its menu item (menu, object
// name, caption, shortcut) and its context-menu item. The tool bar, the five
// menus and the context menu are built from it (command_actions.cpp); the
// enabling rules read the traits (command_rules.cpp). Free of Qt.
//
// A new command is one row here and one handler (CommandActions::setHandler);
// a rule in command_rules.cpp only when neither trait says when it is enabled.
//
// A slot gives the position within the tool bar, a menu or the context menu:
// items are placed by ascending slot, and a separator stands wherever the tens
// digit changes. Slot 0: the command is not there.
#include <cstdint>
#include <span>

#include "commands/command_id.h"

namespace varnok::app {

enum class MenuId : std::uint8_t { None, File, Edit, Connection, Actions, Help };

// Facts about a command that its handler and its rule do not decide.
enum CommandTrait : std::uint8_t {
  kByRule = 0,
  // Refused while "Run all selected" is still starting connections: it
  // changes the tree or starts runs of its own.
  kWaitsForMultiRun = 1,
  // Its menu and context items take the tool-bar button's state.
  kFollowsButton = 2,
  // Enabled whatever the window's state.
  kAlwaysEnabled = 4,
};
constexpr CommandTrait operator|(CommandTrait a, CommandTrait b) {
  return static_cast<CommandTrait>(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}

struct CommandSpec {
  Command id;
  CommandTrait traits = kByRule;
  // Greyed always, for this reason ("There is no help file for Varnok").
  const char* greyed = nullptr;
  // Main menu.
  MenuId menu = MenuId::None;
  std::uint8_t menuSlot = 0;
  const char* menuName = nullptr;  // object name, "MnSaveTable"
  const char* caption = nullptr;   // "&Save"
  const char* shortcut = nullptr;  // "Ctrl+S"
  // Tool bar.
  std::uint8_t toolSlot = 0;
  const char* buttonName = nullptr;  // "BtnSave"
  const char* glyph = nullptr;       // resources/icons/<glyph>.svg; none: `buttonText` instead
  const char* hint = nullptr;        // tool tip, "Save (Ctrl+S)"
  // Context menu of the tree and the text fields.
  std::uint8_t contextSlot = 0;
  const char* contextName = nullptr;     // "pmCopy"
  bool treeOnly = false;                 // shown only while the tree has the focus
  const char* buttonShortcut = nullptr;  // a key of the button itself (F12 applies)
  const char* buttonText = nullptr;      // the caption of a button without a glyph
};

std::span<const CommandSpec> CommandTable();
const CommandSpec& SpecOf(Command id);

bool Has(const CommandSpec& spec, CommandTrait trait);
// The command is refused while "Run all selected" is still starting connections.
bool WaitsForMultiRun(Command id);

// The tens digit of a slot: items of different groups are parted by a separator.
constexpr int SlotGroup(std::uint8_t slot) { return slot / 10; }

}  // namespace varnok::app
