// The enabling rules while the find filter is set: what changes the tree's
// structure waits with one reason; the pages, Apply, runs and text pastes work.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "command_snapshots.h"
#include "commands/command_rules.h"

namespace varnok::app {
namespace {

enum class Place { Button, Menu, Context };

std::string ReasonOf(const CommandSnapshot& s, Place place, Command c) {
  const CommandStates buttons = ButtonStates(s);
  const char* reason = place == Place::Button ? buttons.reason(c)
                       : place == Place::Menu ? MenuStates(s, buttons).reason(c)
                                              : ContextStates(s, buttons).enabled.reason(c);
  return reason ? reason : "";
}

TEST(FilterRules, StructureWaitsForTheFilterToBeCleared) {
  CommandSnapshot s;
  test::TreeOnConnection(s);
  s.macroHasSelection = false;
  s.clipboardHasNodes = s.clipboardHasText = true;
  s.treeCanUndo = s.treeCanRedo = true;
  const std::vector<std::pair<Place, Command>> structural{
      {Place::Button, Command::AddChild},
      {Place::Button, Command::AddSibling},
      {Place::Button, Command::Delete},
      {Place::Button, Command::MoveUp},
      {Place::Button, Command::MoveDown},
      {Place::Button, Command::Paste},
      {Place::Menu, Command::Duplicate},
      {Place::Menu, Command::AddSeparator},
      {Place::Menu, Command::UndoTreeChange},
      {Place::Menu, Command::RedoTreeChange},
      {Place::Menu, Command::ImportConnection},
      {Place::Menu, Command::ImportFromTools},
      {Place::Menu, Command::Paste},
      {Place::Context, Command::Duplicate},
      {Place::Context, Command::AddSeparator},
      {Place::Context, Command::Delete},
  };
  for (const auto& [place, c] : structural) EXPECT_EQ(ReasonOf(s, place, c), "") << static_cast<int>(c);
  s.filterSet = true;
  for (const auto& [place, c] : structural)
    EXPECT_EQ(ReasonOf(s, place, c), "Clear the filter first") << static_cast<int>(c);
  for (Command c : {Command::Run, Command::RunBranch, Command::Copy, Command::Cut})
    EXPECT_EQ(ReasonOf(s, Place::Button, c), "") << static_cast<int>(c);
  s.connectionModified = true;
  EXPECT_EQ(ReasonOf(s, Place::Button, Command::Apply), "");
  s.focus = FocusKind::MacroEditor;
  EXPECT_EQ(ReasonOf(s, Place::Button, Command::Paste), "");
}

}  // namespace
}  // namespace varnok::app
