#pragma once
// The one declarative list of the window's commands: for each its tool-bar
// button (object name, glyph, tool tip), its menu item (menu, object name,
// caption, shortcut) and its context-menu item. The tool bar, the five menus
// and the context menu are built from it (command_actions.cpp).
//
// A slot gives the position within the tool bar, a menu or the context menu:
// items are placed by ascending slot, and a separator stands wherever the tens
// digit changes. Slot 0: the command is not there.
#include <cstdint>
#include <span>

#include "commands/command_id.h"

namespace varnok::app {

enum class MenuId : std::uint8_t { None, File, Edit, Connection, Actions, Help };

struct CommandSpec {
  Command id;
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

// The command is refused while "Run all selected" is still starting connections.
bool WaitsForMultiRun(Command id);

// The tens digit of a slot: items of different groups are parted by a separator.
constexpr int SlotGroup(std::uint8_t slot) { return slot / 10; }

}  // namespace varnok::app
