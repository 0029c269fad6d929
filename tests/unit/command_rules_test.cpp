// The enabling rules, row by row: for every control a snapshot in which it is
// enabled, and for each of its conditions the same snapshot with that one
// condition taken away. Then the facts the table holds per command.
#include "commands/command_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "command_snapshots.h"
#include "commands/command_table.h"

using namespace varnok::app;
using varnok::app::test::TreeOnConnection;

namespace {

enum class Place { Button, Menu, Context };
using Setup = std::function<void(CommandSnapshot&)>;

struct Row {
  const char* name;
  Place place;
  Command command;
  Setup setup;
  bool enabled;
};

bool Evaluate(const Row& row) {
  CommandSnapshot s;
  row.setup(s);
  const CommandStates buttons = ButtonStates(s);
  switch (row.place) {
    case Place::Button:
      return buttons[row.command];
    case Place::Menu:
      return MenuStates(s, buttons)[row.command];
    case Place::Context:
      return ContextStates(s, buttons).enabled[row.command];
  }
  return false;
}

void MacroEditorWithText(CommandSnapshot& s) {
  TreeOnConnection(s);
  s.focus = FocusKind::MacroEditor;
  s.textLength = 10;
  s.textSelectionLength = 3;
  s.textCanUndo = true;
}

Setup With(Setup base, Setup change) {
  return [base, change](CommandSnapshot& s) {
    base(s);
    change(s);
  };
}

const Setup kTree = TreeOnConnection;
const Setup kEditor = MacroEditorWithText;
const Setup kNone = [](CommandSnapshot&) {};

std::vector<Row> Rows() {
  using C = Command;
  const auto B = Place::Button;
  const auto M = Place::Menu;
  const auto X = Place::Context;
  return {
      // Document buttons.
      {"New: the top node has children", B, C::New, kTree, true},
      {"New: an empty tree", B, C::New, With(kTree, [](auto& s) { s.topHasChildren = false; }), false},
      {"Save: the document is modified", B, C::Save, [](auto& s) { s.documentModified = true; }, true},
      {"Save: unchanged document", B, C::Save, kTree, false},
      {"Save as: equal to New", B, C::SaveAs, kTree, true},
      {"Save as: an empty tree", B, C::SaveAs, kNone, false},
      {"Open: always", B, C::Open, kNone, true},
      // Moving.
      {"Move up: tree, one node, a previous sibling", B, C::MoveUp, kTree, true},
      {"Move up: no tree focus", B, C::MoveUp, With(kTree, [](auto& s) { s.focus = FocusKind::None; }),
       false},
      {"Move up: two selected", B, C::MoveUp, With(kTree, [](auto& s) { s.selectedCount = 2; }), false},
      {"Move up: first child", B, C::MoveUp,
       With(kTree, [](auto& s) { s.focusedHasPreviousSibling = false; }), false},
      {"Move down: tree, one node, a next sibling", B, C::MoveDown, kTree, true},
      {"Move down: no tree focus", B, C::MoveDown,
       With(kTree, [](auto& s) { s.focus = FocusKind::PopupEditor; }), false},
      {"Move down: none selected", B, C::MoveDown, With(kTree, [](auto& s) { s.selectedCount = 0; }), false},
      {"Move down: last child", B, C::MoveDown, With(kTree, [](auto& s) { s.focusedHasNextSibling = false; }),
       false},
      // Delete.
      {"Delete: tree, selection without the top node", B, C::Delete,
       With(kTree, [](auto& s) { s.selectedCount = 3; }), true},
      {"Delete: no tree focus", B, C::Delete, With(kTree, [](auto& s) { s.focus = FocusKind::None; }), false},
      {"Delete: nothing selected", B, C::Delete, With(kTree, [](auto& s) { s.selectedCount = 0; }), false},
      {"Delete: the top node selected too", B, C::Delete, With(kTree, [](auto& s) { s.topSelected = true; }),
       false},
      // Paste.
      {"Paste: text on the clipboard, an editor focused", B, C::Paste,
       With(kEditor, [](auto& s) { s.clipboardHasText = true; }), true},
      {"Paste: text, nothing focused", B, C::Paste, [](auto& s) { s.clipboardHasText = true; }, true},
      {"Paste: no text", B, C::Paste, kEditor, false},
      {"Paste: tree with nodes on the clipboard", B, C::Paste,
       With(kTree, [](auto& s) { s.clipboardHasNodes = true; }), true},
      {"Paste: tree with only text on the clipboard", B, C::Paste,
       With(kTree, [](auto& s) { s.clipboardHasText = true; }), false},
      {"Paste: tree without a selected node", B, C::Paste,
       With(kTree,
            [](auto& s) {
              s.clipboardHasNodes = true;
              s.selectedCount = 0;
            }),
       false},
      // Undo.
      {"Undo: an editor that can undo", B, C::Undo, kEditor, true},
      {"Undo: a field that can undo", B, C::Undo,
       With(kEditor, [](auto& s) { s.focus = FocusKind::SettingsField; }), true},
      {"Undo: an editor with nothing to undo", B, C::Undo,
       With(kEditor, [](auto& s) { s.textCanUndo = false; }), false},
      {"Undo: the tree, never", B, C::Undo, With(kTree, [](auto& s) { s.textCanUndo = true; }), false},
      {"Undo: nothing focused, never", B, C::Undo, [](auto& s) { s.textCanUndo = true; }, false},
      // Copy and Cut.
      {"Copy: tree with a focused, selected connection", B, C::Copy, kTree, true},
      {"Copy: tree without a focused node", B, C::Copy,
       With(kTree, [](auto& s) { s.hasFocusedNode = false; }), false},
      {"Copy: tree with the top node selected", B, C::Copy,
       With(kTree, [](auto& s) { s.topSelected = true; }), false},
      {"Copy: tree with nothing selected", B, C::Copy, With(kTree, [](auto& s) { s.selectedCount = 0; }),
       false},
      {"Copy: an editor with a selection", B, C::Copy, kEditor, true},
      {"Copy: an editor without a selection", B, C::Copy,
       With(kEditor, [](auto& s) { s.textSelectionLength = 0; }), false},
      {"Copy: the in-place editor with a selection", B, C::Copy,
       With(kEditor, [](auto& s) { s.focus = FocusKind::InPlaceEditor; }), true},
      {"Copy: nothing focused, never", B, C::Copy, [](auto& s) { s.textSelectionLength = 4; }, false},
      {"Cut: equal to Copy", B, C::Cut, kEditor, true},
      {"Cut: equal to Copy (top node selected)", B, C::Cut,
       With(kTree, [](auto& s) { s.topSelected = true; }), false},
      // Running.
      {"Run: a macro shown for one selected node", B, C::Run, kTree, true},
      {"Run: an empty macro", B, C::Run, With(kTree, [](auto& s) { s.macroTextEmpty = true; }), false},
      {"Run: the Macro page covered", B, C::Run,
       With(kTree, [](auto& s) { s.macroPageShowsConnection = false; }), false},
      {"Run: two selected", B, C::Run, With(kTree, [](auto& s) { s.selectedCount = 2; }), false},
      {"Run to cursor: Run and a selection on the active Macro page", B, C::RunToCursor, kTree, true},
      {"Run to cursor: no selection in the macro", B, C::RunToCursor,
       With(kTree, [](auto& s) { s.macroHasSelection = false; }), false},
      {"Run to cursor: another page active", B, C::RunToCursor,
       With(kTree, [](auto& s) { s.activePage = PageKind::Popup; }), false},
      {"Run to cursor: Run disabled", B, C::RunToCursor,
       With(kTree, [](auto& s) { s.macroTextEmpty = true; }), false},
      {"Run branch: a focused node at level 2 and Run", B, C::RunBranch, kTree, true},
      {"Run branch: level 1", B, C::RunBranch, With(kTree, [](auto& s) { s.focusedLevel = 1; }), false},
      {"Run branch: no focused node", B, C::RunBranch, With(kTree, [](auto& s) { s.hasFocusedNode = false; }),
       false},
      {"Run branch: Run disabled", B, C::RunBranch, With(kTree, [](auto& s) { s.selectedCount = 2; }), false},
      {"Set parent's colors: level 2, colours differ", B, C::SetParentColors,
       With(kTree, [](auto& s) { s.colorsDifferFromParent = true; }), true},
      {"Set parent's colors: the parent's colours", B, C::SetParentColors, kTree, false},
      {"Set parent's colors: level 1", B, C::SetParentColors,
       With(kTree,
            [](auto& s) {
              s.colorsDifferFromParent = true;
              s.focusedLevel = 1;
            }),
       false},
      {"Set parent's colors: no focused node", B, C::SetParentColors,
       With(kTree,
            [](auto& s) {
              s.colorsDifferFromParent = true;
              s.hasFocusedNode = false;
            }),
       false},
      {"Run branch to cursor: both enabled", B, C::RunBranchToCursor, kTree, true},
      {"Run branch to cursor: Run to cursor disabled", B, C::RunBranchToCursor,
       With(kTree, [](auto& s) { s.macroHasSelection = false; }), false},
      {"Run branch to cursor: Run branch disabled", B, C::RunBranchToCursor,
       With(kTree, [](auto& s) { s.focusedLevel = 1; }), false},
      // Apply and adding.
      {"Apply: unapplied edits of a focused node", B, C::Apply,
       With(kEditor, [](auto& s) { s.connectionModified = true; }), true},
      {"Apply: no edits", B, C::Apply, kEditor, false},
      {"Apply: no focused node", B, C::Apply,
       With(kEditor,
            [](auto& s) {
              s.connectionModified = true;
              s.hasFocusedNode = false;
            }),
       false},
      {"Add child: tree, one focused connection", B, C::AddChild, kTree, true},
      {"Add child: the top node", B, C::AddChild, With(kTree, [](auto& s) { s.focusedIsTop = true; }), true},
      {"Add child: a separator", B, C::AddChild, With(kTree, [](auto& s) { s.focusedIsSeparator = true; }),
       false},
      {"Add child: no tree focus", B, C::AddChild, kEditor, false},
      {"Add child: two selected", B, C::AddChild, With(kTree, [](auto& s) { s.selectedCount = 2; }), false},
      {"Add child: no focused node", B, C::AddChild, With(kTree, [](auto& s) { s.hasFocusedNode = false; }),
       false},
      {"Add sibling: tree, one focused connection", B, C::AddSibling, kTree, true},
      {"Add sibling: the top node", B, C::AddSibling, With(kTree, [](auto& s) { s.focusedIsTop = true; }),
       false},
      {"Add sibling: a separator", B, C::AddSibling,
       With(kTree, [](auto& s) { s.focusedIsSeparator = true; }), true},
      {"Add sibling: no tree focus", B, C::AddSibling, kEditor, false},
      {"Add sibling: two selected", B, C::AddSibling, With(kTree, [](auto& s) { s.selectedCount = 2; }),
       false},
      {"Same background: Background chosen, samples differ", B, C::SetSameBackground,
       [](auto& s) {
         s.backgroundChosen = true;
         s.sampleColorsAllSame = false;
       },
       true},
      {"Same background: Text chosen", B, C::SetSameBackground,
       [](auto& s) { s.sampleColorsAllSame = false; }, false},
      {"Same background: samples all the same", B, C::SetSameBackground,
       [](auto& s) { s.backgroundChosen = true; }, false},

      // File menu.
      {"Menu New follows its button", M, C::New, kTree, true},
      {"Menu Save follows its button", M, C::Save, kTree, false},
      {"Import macro: the Macro page shows a connection and is active", M, C::ImportMacro, kTree, true},
      {"Import macro: another page active", M, C::ImportMacro,
       With(kTree, [](auto& s) { s.activePage = PageKind::Colors; }), false},
      {"Import macro: the Macro page covered", M, C::ImportMacro,
       With(kTree, [](auto& s) { s.macroPageShowsConnection = false; }), false},
      {"Import macro Template follows Import macro", M, C::ImportTemplate,
       With(kTree, [](auto& s) { s.activePage = PageKind::Settings; }), false},
      {"Export macro: Import macro and a macro", M, C::ExportMacro, kTree, true},
      {"Export macro: an empty macro", M, C::ExportMacro,
       With(kTree, [](auto& s) { s.macroTextEmpty = true; }), false},
      {"Import connection: always", M, C::ImportConnection, kNone, true},
      {"Export connection: several selected", M, C::ExportConnection,
       With(kTree,
            [](auto& s) {
              s.selectedCount = 2;
              s.macroPageShowsConnection = false;
            }),
       true},
      {"Export connection: one shown on the Macro page", M, C::ExportConnection, kTree, true},
      {"Export connection: one, the Macro page covered", M, C::ExportConnection,
       With(kTree, [](auto& s) { s.macroPageShowsConnection = false; }), false},
      {"Export connection: none selected", M, C::ExportConnection,
       With(kTree, [](auto& s) { s.selectedCount = 0; }), false},
      // Edit menu: Select All.
      {"Select All: tree with unselected nodes", M, C::SelectAll, kTree, true},
      {"Select All: tree, all selected", M, C::SelectAll, With(kTree, [](auto& s) { s.selectedCount = 4; }),
       false},
      {"Select All: editor with unselected text", M, C::SelectAll, kEditor, true},
      {"Select All: editor, all selected", M, C::SelectAll,
       With(kEditor, [](auto& s) { s.textSelectionLength = 10; }), false},
      {"Select All: empty editor", M, C::SelectAll,
       With(kEditor,
            [](auto& s) {
              s.textLength = 0;
              s.textSelectionLength = 0;
            }),
       false},
      {"Select All: empty in-place editor", M, C::SelectAll,
       With(kEditor,
            [](auto& s) {
              s.focus = FocusKind::InPlaceEditor;
              s.textLength = 0;
              s.textSelectionLength = 0;
            }),
       false},
      {"Select All: nothing focused", M, C::SelectAll, kNone, false},
      {"Menu Paste follows its button", M, C::Paste, With(kTree, [](auto& s) { s.clipboardHasText = true; }),
       false},
      // Connection menu.
      {"Duplicate: one node below the top node", M, C::Duplicate, kTree, true},
      {"Duplicate: without the tree focus too", M, C::Duplicate,
       With(kTree, [](auto& s) { s.focus = FocusKind::None; }), true},
      {"Duplicate: the top node", M, C::Duplicate, With(kTree, [](auto& s) { s.focusedIsTop = true; }),
       false},
      {"Duplicate: two selected", M, C::Duplicate, With(kTree, [](auto& s) { s.selectedCount = 2; }), false},
      {"Add separator line: below the top node", M, C::AddSeparator,
       With(kTree, [](auto& s) { s.selectedCount = 3; }), true},
      {"Add separator line: the top node", M, C::AddSeparator,
       With(kTree, [](auto& s) { s.focusedIsTop = true; }), false},
      {"Collapse all: Apply disabled", M, C::CollapseAll, kTree, true},
      {"Collapse all: Apply enabled", M, C::CollapseAll,
       With(kTree, [](auto& s) { s.connectionModified = true; }), false},
      {"Undo tree change: a step to undo", M, C::UndoTreeChange,
       With(kTree, [](auto& s) { s.treeCanUndo = true; }), true},
      {"Undo tree change: nothing to undo", M, C::UndoTreeChange,
       With(kTree, [](auto& s) { s.treeCanRedo = true; }), false},
      {"Undo tree change: unapplied edits", M, C::UndoTreeChange,
       With(kTree,
            [](auto& s) {
              s.treeCanUndo = true;
              s.connectionModified = true;
            }),
       false},
      {"Redo tree change: a step to redo, any focus", M, C::RedoTreeChange,
       With(kTree,
            [](auto& s) {
              s.treeCanRedo = true;
              s.focus = FocusKind::MacroEditor;
            }),
       true},
      {"Redo tree change: unapplied edits", M, C::RedoTreeChange,
       With(kTree,
            [](auto& s) {
              s.treeCanRedo = true;
              s.connectionModified = true;
            }),
       false},
      {"Expand all: always", M, C::ExpandAll, With(kTree, [](auto& s) { s.connectionModified = true; }),
       true},
      {"Menu Apply follows its button", M, C::Apply,
       With(kTree, [](auto& s) { s.connectionModified = true; }), true},
      // Actions menu.
      {"Show popup: a popup on the active Popup page", M, C::ShowPopup,
       [](auto& s) {
         s.popupPageShowsConnection = true;
         s.popupTextEmpty = false;
         s.activePage = PageKind::Popup;
       },
       true},
      {"Show popup: empty popup", M, C::ShowPopup,
       [](auto& s) {
         s.popupPageShowsConnection = true;
         s.activePage = PageKind::Popup;
       },
       false},
      {"Show popup: another page active", M, C::ShowPopup,
       [](auto& s) {
         s.popupPageShowsConnection = true;
         s.popupTextEmpty = false;
       },
       false},
      {"Show popup: the Popup page covered", M, C::ShowPopup,
       [](auto& s) {
         s.popupTextEmpty = false;
         s.activePage = PageKind::Popup;
       },
       false},
      {"Run all selected: several runnable connections", M, C::RunAllSelected,
       With(kTree,
            [](auto& s) {
              s.selectedCount = 3;
              s.allSelectedRunnable = true;
            }),
       true},
      {"Run all selected: one connection", M, C::RunAllSelected,
       With(kTree, [](auto& s) { s.allSelectedRunnable = true; }), false},
      {"Run all selected: the top node selected", M, C::RunAllSelected,
       With(kTree,
            [](auto& s) {
              s.selectedCount = 3;
              s.allSelectedRunnable = true;
              s.topSelected = true;
            }),
       false},
      {"Run all selected: unapplied edits", M, C::RunAllSelected,
       With(kTree,
            [](auto& s) {
              s.selectedCount = 3;
              s.allSelectedRunnable = true;
              s.connectionModified = true;
            }),
       false},
      {"Run all selected: one without a macro", M, C::RunAllSelected,
       With(kTree, [](auto& s) { s.selectedCount = 3; }), false},
      {"Menu Run branch follows its button", M, C::RunBranch,
       With(kTree, [](auto& s) { s.focusedLevel = 1; }), false},
      // Help menu.
      {"Varnok Help: never", M, C::VarnokHelp, kTree, false},
      {"About: always", M, C::About, kNone, true},

      // Context menu.
      {"Context Copy as in the Edit menu", X, C::Copy, kEditor, true},
      {"Context Select All as in the Edit menu", X, C::SelectAll,
       With(kEditor, [](auto& s) { s.textSelectionLength = 10; }), false},
      {"Context Run follows its button", X, C::Run, kTree, true},
      {"Context Run branch follows its button", X, C::RunBranch,
       With(kTree, [](auto& s) { s.focusedLevel = 1; }), false},
      {"Context Add child with the tree focus", X, C::AddChild, kTree, true},
      {"Context Add child without the tree focus", X, C::AddChild, kEditor, false},
      {"Context Duplicate: tree focus, one node below the top", X, C::Duplicate, kTree, true},
      {"Context Duplicate: no tree focus", X, C::Duplicate, kEditor, false},
      {"Context Add separator line: the focused node selected", X, C::AddSeparator, kTree, true},
      {"Context Add separator line: the focused node not selected", X, C::AddSeparator,
       With(kTree, [](auto& s) { s.focusedSelected = false; }), false},
      {"Context Add separator line: the top node", X, C::AddSeparator,
       With(kTree, [](auto& s) { s.focusedIsTop = true; }), false},
  };
}

}  // namespace

TEST(CommandRules, EachRuleHoldsAndFailsOnEachCondition) {
  for (const Row& row : Rows()) EXPECT_EQ(Evaluate(row), row.enabled) << row.name;
}

TEST(CommandRules, TreeItemsOfTheContextMenuShowOnlyWithTheTreeFocus) {
  CommandSnapshot s;
  TreeOnConnection(s);
  EXPECT_TRUE(ContextStates(s, ButtonStates(s)).treeItemsShown);
  EXPECT_TRUE(ContextStates(s, ButtonStates(s)).enabled[Command::AddChild]);
  s.focus = FocusKind::MacroEditor;
  EXPECT_FALSE(ContextStates(s, ButtonStates(s)).treeItemsShown);
  EXPECT_FALSE(ContextStates(s, ButtonStates(s)).enabled[Command::AddChild]);
}

// A menu item that follows a button takes the button's state as the last
// refresh left it, not a fresh evaluation.
TEST(CommandRules, MenusFollowTheGivenButtonStates) {
  CommandSnapshot s;
  TreeOnConnection(s);
  CommandStates buttons;
  buttons.enable(Command::Save);
  const CommandStates menu = MenuStates(s, buttons);
  EXPECT_TRUE(menu[Command::Save]);
  EXPECT_FALSE(menu[Command::New]);
  EXPECT_FALSE(menu[Command::Run]);
}

// A disabled command names the first rule it fails; an enabled one says nothing.
TEST(CommandRules, DisabledCommandsSayWhy) {
  CommandSnapshot s;
  TreeOnConnection(s);
  s.selectedCount = 2;
  const CommandStates buttons = ButtonStates(s);
  EXPECT_STREQ(buttons.reason(Command::MoveUp), "Select exactly one connection");
  EXPECT_STREQ(buttons.reason(Command::RunBranchToCursor), "Select exactly one connection");
  EXPECT_STREQ(buttons.reason(Command::Delete), "");
  s.selectedCount = 1;
  s.connectionModified = true;
  const CommandStates menu = MenuStates(s, ButtonStates(s));
  EXPECT_STREQ(menu.reason(Command::CollapseAll), "Apply or discard the changes first");
  EXPECT_STREQ(menu.reason(Command::VarnokHelp), "There is no help file for Varnok");
  s.focus = FocusKind::MacroEditor;
  EXPECT_STREQ(ButtonStates(s).reason(Command::AddChild), "Click a connection in the tree first");
  // Every disabled control of every place has a reason.
  for (const CommandStates& states : {ButtonStates(s), MenuStates(s, ButtonStates(s))})
    for (std::size_t i = 0; i < kCommandCount; ++i)
      EXPECT_TRUE(states[static_cast<Command>(i)] || *states.reason(static_cast<Command>(i)) != '\0') << i;
}

// The traits of the table decide: a command enabled always is enabled in an
// empty window, one that follows its button is greyed with the button's reason.
TEST(CommandTable, TraitsDecideTheMenuStates) {
  CommandSnapshot s;
  const CommandStates buttons = ButtonStates(s);
  const CommandStates menu = MenuStates(s, buttons);
  for (const CommandSpec& spec : CommandTable()) {
    const std::string name = spec.menuName ? spec.menuName : "a page control";
    EXPECT_TRUE(!Has(spec, kAlwaysEnabled) || menu[spec.id]) << name;
    if (Has(spec, kFollowsButton)) {
      EXPECT_NE(spec.toolSlot, 0) << name << " follows a button it does not have";
      EXPECT_EQ(menu[spec.id], buttons[spec.id]) << name;
      EXPECT_STREQ(menu.reason(spec.id), buttons.reason(spec.id)) << name;
    }
    EXPECT_TRUE(!spec.greyed || !menu[spec.id]) << name;
  }
  EXPECT_TRUE(WaitsForMultiRun(Command::Duplicate));
  EXPECT_TRUE(WaitsForMultiRun(Command::ImportConnection));
  EXPECT_FALSE(WaitsForMultiRun(Command::Save));
  EXPECT_FALSE(WaitsForMultiRun(Command::ExpandAll));
}

// Every command has its row, tool bar and context slots are unique, and
// every placed item carries an object name for tests and a caption.
TEST(CommandTable, IsComplete) {
  std::vector<int> toolSlots, contextSlots;
  for (const CommandSpec& spec : CommandTable()) {
    EXPECT_EQ(&SpecOf(spec.id), &spec);
    EXPECT_TRUE(!spec.menuSlot || (spec.menuName && spec.caption && spec.menu != MenuId::None));
    if (spec.toolSlot) {
      EXPECT_TRUE(spec.buttonName && spec.hint);
      EXPECT_EQ(std::count(toolSlots.begin(), toolSlots.end(), spec.toolSlot), 0);
      toolSlots.push_back(spec.toolSlot);
    }
    if (spec.contextSlot) {
      EXPECT_TRUE(spec.contextName && spec.caption);
      EXPECT_EQ(std::count(contextSlots.begin(), contextSlots.end(), spec.contextSlot), 0);
      contextSlots.push_back(spec.contextSlot);
    }
  }
  EXPECT_EQ(toolSlots.size(), std::size_t(18));
  EXPECT_EQ(contextSlots.size(), std::size_t(14));
}
