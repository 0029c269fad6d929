// The enabling rules while the find filter is set: what changes the tree's
// structure waits with one reason; the pages, Apply, runs and text pastes work.
#include <QTest>
#include <utility>
#include <vector>

#include "commands/command_rules.h"

using namespace varnok::app;

namespace {

enum class Place { Button, Menu, Context };

// One connection focused and selected in the tree, below the top node, with
// a macro shown on the active Macro page; copied nodes and text on the
// clipboard; tree changes to undo and redo.
CommandSnapshot TreeOnConnection() {
  CommandSnapshot s;
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
  s.clipboardHasNodes = s.clipboardHasText = true;
  s.treeCanUndo = s.treeCanRedo = true;
  return s;
}

QString ReasonOf(const CommandSnapshot& s, Place place, Command c) {
  const CommandStates buttons = ButtonStates(s);
  if (place == Place::Button) return QString::fromLatin1(buttons.reason(c));
  if (place == Place::Menu) return QString::fromLatin1(MenuStates(s, buttons).reason(c));
  return QString::fromLatin1(ContextStates(s, buttons).enabled.reason(c));
}

}  // namespace

class FilterRulesTest : public QObject {
  Q_OBJECT
 private slots:
  void structureWaitsForTheFilterToBeCleared() {
    CommandSnapshot s = TreeOnConnection();
    const std::vector<std::pair<Place, Command>> structural{
        {Place::Button, Command::AddChild},       {Place::Button, Command::AddSibling},
        {Place::Button, Command::Delete},         {Place::Button, Command::MoveUp},
        {Place::Button, Command::MoveDown},       {Place::Button, Command::Paste},
        {Place::Menu, Command::Duplicate},        {Place::Menu, Command::AddSeparator},
        {Place::Menu, Command::UndoTreeChange},   {Place::Menu, Command::RedoTreeChange},
        {Place::Menu, Command::ImportConnection}, {Place::Menu, Command::Paste},
        {Place::Context, Command::Duplicate},     {Place::Context, Command::AddSeparator},
        {Place::Context, Command::Delete},
    };
    for (const auto& [place, c] : structural) QCOMPARE(ReasonOf(s, place, c), QString());
    s.filterSet = true;
    for (const auto& [place, c] : structural)
      QCOMPARE(ReasonOf(s, place, c), QStringLiteral("Clear the filter first"));
    for (Command c : {Command::Run, Command::RunBranch, Command::Copy, Command::Cut})
      QCOMPARE(ReasonOf(s, Place::Button, c), QString());
    s.connectionModified = true;
    QCOMPARE(ReasonOf(s, Place::Button, Command::Apply), QString());
    s.focus = FocusKind::MacroEditor;
    QCOMPARE(ReasonOf(s, Place::Button, Command::Paste), QString());
  }
};

QTEST_APPLESS_MAIN(FilterRulesTest)
#include "filter_rules_test.moc"
