#include "commands/command_rules.h"

#include <initializer_list>
#include <utility>

#include "commands/command_table.h"

namespace varnok::app {

namespace {

using Check = std::pair<bool, const char*>;

// The reason of the first check that fails; nullptr when all hold.
const char* FirstFailing(std::initializer_list<Check> checks) {
  for (const auto& [holds, why] : checks)
    if (!holds) return why;
  return nullptr;
}

const char* const kNotHere = "Not available here";
const char* const kTreeFocus = "Click a connection in the tree first";
const char* const kExactlyOne = "Select exactly one connection";
const char* const kSomeSelected = "Select one or more connections";
const char* const kTopSelected = "The top node cannot take part; unselect it";
const char* const kPendingEdits = "Apply or discard the changes first";
const char* const kNoFocused = "Click a connection first";
const char* const kEmptyMacro = "The macro is empty";
const char* const kMacroPage = "Show one connection on the Macro page";
const char* const kNeedsParent = "The connection has no parent connection";
const char* const kClearFilter = "Clear the filter first";

// While the find filter is set the tree's structure stays as it is: the
// commands that add, remove or move nodes wait. Pages and Apply work.
void KeepStructureWhileFiltered(const CommandSnapshot& s, CommandStates& on,
                                std::initializer_list<Command> commands) {
  if (!s.filterSet) return;
  for (Command c : commands) {
    // Pasting text into a field changes no structure.
    if (c == Command::Paste && s.focus != FocusKind::Tree) continue;
    on.set(c, kClearFilter);
  }
}

bool TextFocus(const CommandSnapshot& s) { return s.focus != FocusKind::None && s.focus != FocusKind::Tree; }

bool TreeFocus(const CommandSnapshot& s) { return s.focus == FocusKind::Tree; }

const char* CopyRule(const CommandSnapshot& s) {
  if (TreeFocus(s))
    return FirstFailing({{s.hasFocusedNode, kNoFocused},
                         {s.selectedCount >= 1, kSomeSelected},
                         {!s.topSelected, kTopSelected}});
  return FirstFailing({{TextFocus(s), "Click into a text or the tree first"},
                       {s.textSelectionLength > 0, "Select some text first"}});
}

const char* PasteRule(const CommandSnapshot& s) {
  if (TreeFocus(s))
    return FirstFailing({{s.selectedCount >= 1, kSomeSelected},
                         {s.clipboardHasNodes, "There are no copied connections to paste"}});
  return FirstFailing({{s.clipboardHasText, "There is no text on the clipboard"}});
}

const char* RunRule(const CommandSnapshot& s) {
  return FirstFailing({{s.selectedCount == 1, kExactlyOne},
                       {s.macroPageShowsConnection, kMacroPage},
                       {!s.macroTextEmpty, kEmptyMacro}});
}

const char* RunBranchRule(const CommandSnapshot& s, const CommandStates& on) {
  return FirstFailing({{on[Command::Run], on.reason(Command::Run)},
                       {s.hasFocusedNode, kNoFocused},
                       {s.focusedLevel >= 2, kNeedsParent}});
}

const char* RunToCursorRule(const CommandSnapshot& s, const CommandStates& on) {
  return FirstFailing({{on[Command::Run], on.reason(Command::Run)},
                       {s.activePage == PageKind::Macro, "Open the Macro page"},
                       {s.macroHasSelection, "Select the lines to run"}});
}

const char* SelectAllReason(const CommandSnapshot& s) {
  if (CanSelectAll(s)) return nullptr;
  return s.focus == FocusKind::None ? "Click into a text or the tree first"
                                    : "Everything is selected already";
}

}  // namespace

CommandStates::CommandStates() { reasons_.fill(kNotHere); }

bool CanSelectAll(const CommandSnapshot& s) {
  switch (s.focus) {
    case FocusKind::None:
      return false;
    case FocusKind::Tree:
      return s.selectedCount < s.nodeCount;
    case FocusKind::InPlaceEditor:
      return s.textSelectionLength < s.textLength;
    default:
      return s.textLength > 0 && s.textSelectionLength < s.textLength;
  }
}

CommandStates ButtonStates(const CommandSnapshot& s) {
  CommandStates on;
  const bool tree = TreeFocus(s);
  const bool single = s.selectedCount == 1;
  on.set(Command::New, FirstFailing({{s.topHasChildren, "The configuration is empty already"}}));
  on.set(Command::Save, FirstFailing({{s.documentModified, "There are no changes to save"}}));
  on.set(Command::SaveAs, FirstFailing({{s.topHasChildren, "The configuration has no connections yet"}}));
  for (const CommandSpec& spec : CommandTable())
    if (Has(spec, kAlwaysEnabled) && spec.toolSlot != 0) on.enable(spec.id);
  on.set(Command::MoveUp,
         FirstFailing({{tree, kTreeFocus},
                       {single, kExactlyOne},
                       {s.focusedHasPreviousSibling, "The connection is the first of its branch"}}));
  on.set(Command::MoveDown,
         FirstFailing({{tree, kTreeFocus},
                       {single, kExactlyOne},
                       {s.focusedHasNextSibling, "The connection is the last of its branch"}}));
  on.set(Command::Delete, FirstFailing({{tree, kTreeFocus},
                                        {s.selectedCount >= 1, kSomeSelected},
                                        {!s.topSelected, "The top node cannot be deleted; unselect it"}}));
  on.set(Command::Paste, PasteRule(s));
  on.set(Command::Undo,
         FirstFailing({{TextFocus(s), "Click into a text first"}, {s.textCanUndo, "Nothing to undo"}}));
  on.set(Command::Copy, CopyRule(s));
  on.set(Command::Cut, on[Command::Copy] ? nullptr : on.reason(Command::Copy));
  on.set(Command::Run, RunRule(s));
  on.set(Command::RunToCursor, RunToCursorRule(s, on));
  on.set(Command::RunBranch, RunBranchRule(s, on));
  on.set(Command::SetParentColors,
         FirstFailing({{s.hasFocusedNode, kNoFocused},
                       {s.focusedLevel >= 2, kNeedsParent},
                       {s.colorsDifferFromParent, "The colours are the parent's already"}}));
  on.set(Command::RunBranchToCursor,
         FirstFailing({{on[Command::RunBranch], on.reason(Command::RunBranch)},
                       {on[Command::RunToCursor], on.reason(Command::RunToCursor)}}));
  on.set(Command::Apply, FirstFailing({{s.hasFocusedNode, kNoFocused},
                                       {s.connectionModified, "There are no changes to apply"}}));
  on.set(Command::AddChild, FirstFailing({{tree, kTreeFocus},
                                          {s.hasFocusedNode, kNoFocused},
                                          {single, kExactlyOne},
                                          {!s.focusedIsSeparator, "A separator line has no children"}}));
  on.set(Command::AddSibling, FirstFailing({{tree, kTreeFocus},
                                            {s.hasFocusedNode, kNoFocused},
                                            {single, kExactlyOne},
                                            {!s.focusedIsTop, "The top node has no siblings"}}));
  on.set(Command::SetSameBackground,
         FirstFailing({{s.backgroundChosen, "Choose Background first"},
                       {!s.sampleColorsAllSame, "The three backgrounds are the same already"}}));
  KeepStructureWhileFiltered(s, on,
                             {Command::AddChild, Command::AddSibling, Command::Delete, Command::MoveUp,
                              Command::MoveDown, Command::Paste});
  return on;
}

CommandStates MenuStates(const CommandSnapshot& s, const CommandStates& buttons) {
  CommandStates on;
  for (const CommandSpec& spec : CommandTable()) {
    if (Has(spec, kFollowsButton)) on.set(spec.id, buttons[spec.id] ? nullptr : buttons.reason(spec.id));
    if (Has(spec, kAlwaysEnabled)) on.enable(spec.id);
    if (spec.greyed) on.set(spec.id, spec.greyed);
  }

  const char* macroShown = FirstFailing(
      {{s.macroPageShowsConnection, kMacroPage}, {s.activePage == PageKind::Macro, "Open the Macro page"}});
  on.set(Command::ImportMacro, macroShown);
  on.set(Command::ExportMacro, macroShown ? macroShown : FirstFailing({{!s.macroTextEmpty, kEmptyMacro}}));
  on.set(Command::ImportTemplate, macroShown);
  on.set(Command::ExportConnection,
         FirstFailing({{s.selectedCount > 1 || (s.selectedCount == 1 && s.macroPageShowsConnection),
                        "Select the connections to export"}}));
  on.set(Command::SelectAll, SelectAllReason(s));

  const char* belowTop = FirstFailing(
      {{s.hasFocusedNode, kNoFocused}, {!s.focusedIsTop, "Click a connection below the top node"}});
  on.set(Command::Duplicate, belowTop ? belowTop : FirstFailing({{s.selectedCount == 1, kExactlyOne}}));
  on.set(Command::AddSeparator, belowTop);
  on.set(Command::CollapseAll, on[Command::Apply] ? kPendingEdits : nullptr);
  on.set(Command::UndoTreeChange, FirstFailing({{s.treeCanUndo, "There is no tree change to undo"},
                                                {!s.connectionModified, kPendingEdits}}));
  on.set(Command::RedoTreeChange, FirstFailing({{s.treeCanRedo, "There is no tree change to redo"},
                                                {!s.connectionModified, kPendingEdits}}));

  on.set(Command::ShowPopup,
         FirstFailing({{s.popupPageShowsConnection, "Show one connection on the Popup page"},
                       {s.activePage == PageKind::Popup, "Open the Popup page"},
                       {!s.popupTextEmpty, "The popup text is empty"}}));
  on.set(Command::RunAllSelected,
         FirstFailing({{s.selectedCount > 1, "Select two or more connections"},
                       {!s.topSelected, kTopSelected},
                       {!s.connectionModified, kPendingEdits},
                       {s.allSelectedRunnable, "Every selected connection needs a macro"}}));

  on.set(Command::PreviewBranchMacro,
         belowTop ? belowTop : FirstFailing({{!s.focusedIsSeparator, "A separator line has no macro"}}));

  KeepStructureWhileFiltered(s, on,
                             {Command::Duplicate, Command::AddSeparator, Command::UndoTreeChange,
                              Command::RedoTreeChange, Command::ImportConnection, Command::ImportFromTools});
  return on;
}

ContextMenuStates ContextStates(const CommandSnapshot& s, const CommandStates& buttons) {
  // A context item takes its menu item's state; the tree's own items are
  // there only while the tree has the focus.
  ContextMenuStates out;
  out.treeItemsShown = TreeFocus(s);
  const CommandStates menu = MenuStates(s, buttons);
  for (const CommandSpec& spec : CommandTable())
    if (spec.contextSlot != 0 && (!spec.treeOnly || out.treeItemsShown))
      out.enabled.set(spec.id, menu[spec.id] ? nullptr : menu.reason(spec.id));
  // Only here the separator goes below the focused connection, which must be selected.
  if (out.treeItemsShown && menu[Command::AddSeparator])
    out.enabled.set(Command::AddSeparator,
                    FirstFailing({{s.focusedSelected, "Select the focused connection"}}));
  return out;
}

}  // namespace varnok::app
