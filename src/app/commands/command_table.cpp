#include "commands/command_table.h"

#include <array>

namespace varnok::app {

namespace {

using C = Command;
using M = MenuId;
constexpr CommandTrait R = kByRule;
constexpr CommandTrait W = kWaitsForMultiRun;
constexpr CommandTrait F = kFollowsButton;
constexpr CommandTrait A = kAlwaysEnabled;

// clang-format off
constexpr std::array kTable{
  // traits: W waits for a multi-run, F menu items follow the button, A enabled always, R by rule
  // id                             traits  greyed always                       menu           slot  menu item                     caption                         shortcut      tool  button                    glyph                   tool tip                               ctx  context item      tree only
  CommandSpec{C::New,               F,      nullptr,                            M::File,       10, "MnNewTable",              "&New",                         "Ctrl+N",     10, "BtnNew",               "new",                  "New (Ctrl+N)"},
  CommandSpec{C::Open,              A,      nullptr,                            M::File,       11, "MnOpenTable",             "&Open ...",                    "Ctrl+O",     11, "BtnOpen",              "open",                 "Open (Ctrl+O)"},
  CommandSpec{C::Save,              F,      nullptr,                            M::File,       12, "MnSaveTable",             "&Save",                        "Ctrl+S",     12, "BtnSave",              "save",                 "Save (Ctrl+S)"},
  CommandSpec{C::SaveAs,            F,      nullptr,                            M::File,       13, "MnSaveTableAs",           "Save &as ...",                 nullptr,      13, "BtnSaveAs",            "save_as",              "Save as ..."},
  CommandSpec{C::ImportConnection,  W | A,  nullptr,                            M::File,       20, "MnImportConnection",      "Import connection ...",        nullptr},
  CommandSpec{C::ImportFromTools,   W | A,  nullptr,                            M::File,       20, "MnImportFromTools",       "Import from other tools",      nullptr},
  CommandSpec{C::ExportConnection,  R,      nullptr,                            M::File,       21, "MnExportConnection",      "Export connection ...",        nullptr},
  CommandSpec{C::ImportTemplate,    R,      nullptr,                            M::File,       30, "MnImportTemplate",        "Import macro Template",        nullptr},
  CommandSpec{C::ImportMacro,       R,      nullptr,                            M::File,       31, "MnImportMacro",           "Import macro ...",             nullptr},
  CommandSpec{C::ExportMacro,       R,      nullptr,                            M::File,       32, "MnExportMacro",           "Export macro ...",             nullptr},
  CommandSpec{C::Close,             A,      nullptr,                            M::File,       40, "MnClose",                 "&Close",                       nullptr},
  CommandSpec{C::Undo,              F,      nullptr,                            M::Edit,       10, "MnUndo",                  "&Undo",                        "Ctrl+Z",     40, "BtnUndo",              "undo",                 "Undo (Ctrl+Z)",                       10, "pmUndo"},
  CommandSpec{C::Cut,               W | F,  nullptr,                            M::Edit,       20, "MnCut",                   "Cu&t",                         "Ctrl+X",     41, "BtnCut",               "cut",                  "Cut (Ctrl+X)",                        11, "pmCut"},
  CommandSpec{C::Copy,              F,      nullptr,                            M::Edit,       21, "MnCopy",                  "&Copy",                        "Ctrl+C",     42, "BtnCopy",              "copy",                 "Copy (Ctrl+C)",                       12, "pmCopy"},
  CommandSpec{C::Paste,             W | F,  nullptr,                            M::Edit,       22, "MnPaste",                 "&Paste",                       "Ctrl+V",     43, "BtnPaste",             "paste",                "Paste (Ctrl+V)",                      13, "pmPaste"},
  CommandSpec{C::SelectAll,         R,      nullptr,                            M::Edit,       23, "MnSelectAll",             "Select &All",                  "Ctrl+A",      0, nullptr,                nullptr,                nullptr,                               20, "pmSelectAll"},
  CommandSpec{C::AddChild,          W | F,  nullptr,                            M::Connection, 10, "MnAddChild",              "Add child",                    "Ctrl+I",     20, "BtnAddChild",          "add_child",            "Add child (Ctrl-I)",                  30, "pmAddChild",     true},
  CommandSpec{C::AddSibling,        W | F,  nullptr,                            M::Connection, 11, "MnAddSibling",            "Add sibling",                  "Ctrl+Alt+I", 21, "BtnAddSibling",        "add_sibling",          "Add sibling (Ctrl-Alt-I)",            31, "pmAddSibling",   true},
  CommandSpec{C::Duplicate,         W,      nullptr,                            M::Connection, 12, "MnDuplicate",             "Duplicate selected",           "Ctrl+Alt+D",  0, nullptr,                nullptr,                nullptr,                               32, "pmDuplicate",    true},
  CommandSpec{C::Delete,            W | F,  nullptr,                            M::Connection, 13, "MnDelete",                "Delete selected",              "Ctrl+Del",   22, "BtnDelete",            "delete",               "Delete selected (Ctrl+Delete)",       33, "pmDelete",       true},
  CommandSpec{C::AddSeparator,      W,      nullptr,                            M::Connection, 20, "MnAddSeparator",          "Add separator line",           "Ctrl+L",      0, nullptr,                nullptr,                nullptr,                               40, "pmAddSeparator", true},
  CommandSpec{C::MoveUp,            W | F,  nullptr,                            M::Connection, 30, "MnMoveUp",                "Move up",                      "Ctrl+U",     30, "BtnMoveUp",            "move_up",              "Move up (Ctrl+U)",                    50, "pmMoveUp",       true},
  CommandSpec{C::MoveDown,          W | F,  nullptr,                            M::Connection, 31, "MnMoveDown",              "Move down",                    "Ctrl+D",     31, "BtnMoveDown",          "move_down",            "Move down (Ctrl+D)",                  51, "pmMoveDown",     true},
  CommandSpec{C::UndoTreeChange,    W,      nullptr,                            M::Connection, 32, "MnUndoTreeChange",        "Undo tree change",             "Ctrl+Alt+Z"},
  CommandSpec{C::RedoTreeChange,    W,      nullptr,                            M::Connection, 33, "MnRedoTreeChange",        "Redo tree change",             "Ctrl+Alt+Y"},
  CommandSpec{C::ExpandAll,         A,      nullptr,                            M::Connection, 40, "MnExpandAll",             "Expand all",                   nullptr},
  CommandSpec{C::CollapseAll,       R,      nullptr,                            M::Connection, 41, "MnCollapseAll",           "Collapse all",                 nullptr},
  // The Apply button's tool tip names F12, and F12 applies like the button.
  CommandSpec{C::Apply,             F,      nullptr,                            M::Connection, 50, "MnApply",                 "Apply changes",                nullptr,      60, "BtnApply",             nullptr,                "Apply changes (F12)",                0, nullptr,           false, "F12", "Apply"},
  CommandSpec{C::RunToCursor,       W | F,  nullptr,                            M::Actions,    10, "MnExecuteToCursor",       "Run to cursor",                "F8",         50, "BtnRunToCursor",       "run_to_cursor",        "Run to cursor (F8)"},
  CommandSpec{C::Run,               W | F,  nullptr,                            M::Actions,    11, "MnExecute",               "Run",                          "F9",         51, "BtnRun",               "run",                  "Run (F9)",                            60, "pmRun"},
  CommandSpec{C::RunBranchToCursor, W | F,  nullptr,                            M::Actions,    12, "MnExecuteBranchToCursor", "Run branch to cursor",         "Ctrl+F8",    52, "BtnRunBranchToCursor", "run_branch_to_cursor", "Run branch to cursor (Ctrl-F8)"},
  CommandSpec{C::RunBranch,         W | F,  nullptr,                            M::Actions,    13, "MnExecuteBranch",         "Run branch",                   "Ctrl+F9",    53, "BtnRunBranch",         "run_branch",           "Run branch (Ctrl-F9)",                61, "pmRunBranch"},
  CommandSpec{C::RunAllSelected,    W,      nullptr,                            M::Actions,    14, "MnRunAllSelected",        "Run all selected",             nullptr},
  CommandSpec{C::PreviewBranchMacro, R,      nullptr,                            M::Actions,    15, "MnPreviewBranchMacro",    "Preview branch macro",         "Ctrl+F7"},
  CommandSpec{C::ShowPopup,         R,      nullptr,                            M::Actions,    20, "MnShowPopup",             "Show popup",                   nullptr},
  CommandSpec{C::VarnokHelp,        R,      "There is no help file for Varnok", M::Help,       10, "MnHelp",                  "Varnok Help",                  "F1"},
  CommandSpec{C::CorvaneHelp,       A,      nullptr,                            M::Help,       11, "MnCorvaneHelp",           "Corvane Help",                 "Ctrl+F1"},
  CommandSpec{C::MacroHelp,         A,      nullptr,                            M::Help,       12, "MnMacroHelp",             "Corvane Macro Language Help",  "Shift+F1",   0, nullptr, nullptr, "Corvane Macro Language Reference"},
  CommandSpec{C::License,           A,      nullptr,                            M::Help,       20, "MnLicense",               "Freeware License Agreement",   nullptr},
  CommandSpec{C::About,             A,      nullptr,                            M::Help,       21, "MnAbout",                 "About Varnok",                 nullptr},
  // Page controls: enabled by the refresh, placed by their page.
  CommandSpec{C::SetParentColors},
  CommandSpec{C::SetSameBackground},
};
// clang-format on

constexpr bool InCommandOrder() {
  for (std::size_t i = 0; i < kTable.size(); ++i)
    if (static_cast<std::size_t>(kTable[i].id) != i) return false;
  return kTable.size() == kCommandCount;
}
static_assert(InCommandOrder(), "one row per command, in the order of Command");

}  // namespace

std::span<const CommandSpec> CommandTable() { return kTable; }

bool Has(const CommandSpec& spec, CommandTrait trait) { return (spec.traits & trait) != 0; }

bool WaitsForMultiRun(Command id) { return Has(SpecOf(id), kWaitsForMultiRun); }

const CommandSpec& SpecOf(Command id) { return kTable[static_cast<std::size_t>(id)]; }

}  // namespace varnok::app
