#include "command_rules.h"

namespace varnok::app {

namespace {

bool TextFocus(const CommandSnapshot& s) {
  return s.focus != FocusKind::None && s.focus != FocusKind::Tree;
}

bool TreeFocus(const CommandSnapshot& s) { return s.focus == FocusKind::Tree; }

bool CopyEnabled(const CommandSnapshot& s) {
  if (TreeFocus(s)) return s.hasFocusedNode && !s.topSelected && s.selectedCount >= 1;
  return TextFocus(s) && s.textSelectionLength > 0;
}

bool PasteEnabled(const CommandSnapshot& s) {
  if (TreeFocus(s)) return s.selectedCount >= 1 && s.clipboardHasNodes;
  return s.clipboardHasText;
}

}  // namespace

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

CommandFlags ButtonStates(const CommandSnapshot& s) {
  CommandFlags on;
  const bool tree = TreeFocus(s);
  const bool single = s.selectedCount == 1;
  on.set(Command::New, s.topHasChildren);
  on.set(Command::Save, s.documentModified);
  on.set(Command::SaveAs, on[Command::New]);
  on.set(Command::Open);
  on.set(Command::MoveUp, tree && single && s.focusedHasPreviousSibling);
  on.set(Command::MoveDown, tree && single && s.focusedHasNextSibling);
  on.set(Command::Delete, tree && s.selectedCount >= 1 && !s.topSelected);
  on.set(Command::Paste, PasteEnabled(s));
  on.set(Command::Undo, TextFocus(s) && s.textCanUndo);
  on.set(Command::Copy, CopyEnabled(s));
  on.set(Command::Cut, on[Command::Copy]);
  on.set(Command::Run, !s.macroTextEmpty && s.macroPageShowsConnection && single);
  on.set(Command::RunToCursor, on[Command::Run] && s.macroHasSelection && s.activePage == PageKind::Macro);
  on.set(Command::RunBranch, s.hasFocusedNode && s.focusedLevel >= 2 && on[Command::Run]);
  on.set(Command::SetParentColors, s.hasFocusedNode && s.focusedLevel >= 2 && s.colorsDifferFromParent);
  on.set(Command::RunBranchToCursor, on[Command::RunBranch] && on[Command::RunToCursor]);
  on.set(Command::Apply, s.connectionModified && s.hasFocusedNode);
  on.set(Command::AddChild, tree && s.hasFocusedNode && single && !s.focusedIsSeparator);
  on.set(Command::AddSibling, tree && s.hasFocusedNode && single && !s.focusedIsTop);
  on.set(Command::SetSameBackground, s.backgroundChosen && !s.sampleColorsAllSame);
  return on;
}

CommandFlags MenuStates(const CommandSnapshot& s, const CommandFlags& buttons) {
  CommandFlags on;
  for (Command c : {Command::New, Command::Open, Command::Save, Command::SaveAs, Command::Undo, Command::Cut,
                    Command::Copy, Command::Paste, Command::AddChild, Command::AddSibling, Command::Delete,
                    Command::MoveUp, Command::MoveDown, Command::Apply, Command::RunToCursor, Command::Run,
                    Command::RunBranchToCursor, Command::RunBranch})
    on.set(c, buttons[c]);

  const bool macroShown = s.macroPageShowsConnection && s.activePage == PageKind::Macro;
  on.set(Command::ImportMacro, macroShown);
  on.set(Command::ExportMacro, macroShown && !s.macroTextEmpty);
  on.set(Command::ImportTemplate, on[Command::ImportMacro]);
  on.set(Command::ImportConnection);
  on.set(Command::ExportConnection,
         s.selectedCount > 1 || (s.selectedCount == 1 && s.macroPageShowsConnection));
  on.set(Command::Close);

  on.set(Command::SelectAll, CanSelectAll(s));

  const bool focusedBelowTop = s.hasFocusedNode && !s.focusedIsTop;
  on.set(Command::Duplicate, focusedBelowTop && s.selectedCount == 1);
  on.set(Command::AddSeparator, focusedBelowTop);
  on.set(Command::CollapseAll, !on[Command::Apply]);
  on.set(Command::ExpandAll);

  on.set(Command::ShowPopup,
         s.popupPageShowsConnection && !s.popupTextEmpty && s.activePage == PageKind::Popup);
  on.set(Command::RunAllSelected,
         !s.topSelected && !s.connectionModified && s.allSelectedRunnable && s.selectedCount > 1);

  on.set(Command::VarnokHelp, false);
  for (Command c : {Command::CorvaneHelp, Command::MacroHelp, Command::License, Command::About}) on.set(c);
  return on;
}

ContextMenuStates ContextStates(const CommandSnapshot& s, const CommandFlags& buttons) {
  ContextMenuStates out;
  const CommandFlags menu = MenuStates(s, buttons);
  for (Command c : {Command::Undo, Command::Cut, Command::Copy, Command::Paste, Command::SelectAll, Command::Run,
                    Command::RunBranch})
    out.enabled.set(c, menu[c]);
  out.treeItemsShown = TreeFocus(s);
  if (out.treeItemsShown) {
    for (Command c : {Command::AddChild, Command::AddSibling, Command::Delete, Command::MoveUp, Command::MoveDown})
      out.enabled.set(c, buttons[c]);
    const bool focusedBelowTop = s.hasFocusedNode && !s.focusedIsTop;
    out.enabled.set(Command::Duplicate, focusedBelowTop && s.selectedCount == 1);
    out.enabled.set(Command::AddSeparator, focusedBelowTop && s.focusedSelected);
  }
  return out;
}

}  // namespace varnok::app
