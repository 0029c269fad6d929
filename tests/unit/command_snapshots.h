#pragma once
// Snapshots of the window's state shared by the enabling-rule tests.
#include "commands/command_rules.h"

namespace varnok::app::test {

// One connection focused and selected in the tree, below the top node, with
// a macro shown on the active Macro page.
inline void TreeOnConnection(CommandSnapshot& s) {
  s.focus = FocusKind::Tree;
  s.nodeCount = 4;
  s.selectedCount = 1;
  s.topHasChildren = true;
  s.hasFocusedNode = true;
  s.focusedSelected = true;
  s.focusedLevel = 2;
  s.focusedHasPreviousSibling = true;
  s.focusedHasNextSibling = true;
  s.activePage = PageKind::Macro;
  s.macroPageShowsConnection = true;
  s.macroTextEmpty = false;
  s.macroHasSelection = true;
}

}  // namespace varnok::app::test
