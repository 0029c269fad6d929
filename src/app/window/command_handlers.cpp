#include "window/command_handlers.h"

#include <Qsci/qsciscintilla.h>

#include <QItemSelectionModel>
#include <QPushButton>
#include <QTreeView>

#include "commands/command_actions.h"
#include "commands/edit_commands.h"
#include "common/program_paths.h"
#include "dialogs/about_window.h"
#include "document/document.h"
#include "editor/template_menu.h"
#include "pages/colors_page.h"
#include "pages/connection_pages.h"
#include "pages/macro_page.h"
#include "pages/page_cycle.h"
#include "pages/settings_page.h"
#include "platform/program_places.h"
#include "properties/macro_templates.h"
#include "run/foreign_import_commands.h"
#include "run/multi_run.h"
#include "run/preview_window.h"
#include "run/run_commands.h"
#include "run/transfer_commands.h"
#include "tree/tree_editing.h"
#include "window/main_window.h"

namespace varnok::app {

CommandHandlers::CommandHandlers(Context context, QObject* parent) : QObject(parent), context_(context) {
  CommandActions& commands = context_.commands;
  commands.setRefusal([this] { return refusedDuringMultiRun(); });
  commands.setHandler(Command::New, [this] { context_.document.newDocument(); });
  commands.setHandler(Command::Open, [this] { context_.document.open(); });
  commands.setHandler(Command::Save, [this] { context_.document.save(); });
  commands.setHandler(Command::SaveAs, [this] { context_.document.saveAs(); });
  commands.setHandler(Command::AddChild, [this] { context_.editing.addChild(); });
  commands.setHandler(Command::AddSibling, [this] { context_.editing.addSibling(); });
  commands.setHandler(Command::AddSeparator, [this] { context_.editing.addSeparatorLine(); });
  commands.setHandler(Command::Duplicate, [this] { context_.editing.duplicate(); });
  commands.setHandler(Command::Delete, [this] {
    context_.commands.disableButton(Command::Delete);  // the button disables itself first
    context_.editing.deleteSelected();
  });
  commands.setHandler(Command::MoveUp, [this] { context_.editing.moveUp(); });
  commands.setHandler(Command::MoveDown, [this] { context_.editing.moveDown(); });
  commands.setHandler(Command::Undo, [this] { context_.edits.undo(); });
  commands.setHandler(Command::Cut, [this] {
    context_.commands.disableButton(Command::Cut);
    context_.edits.cut();
  });
  commands.setHandler(Command::Copy, [this] { context_.edits.copy(); });
  commands.setHandler(Command::Paste, [this] { context_.edits.paste(); });
  commands.setHandler(Command::SelectAll, [this] { context_.edits.selectAll(); });
  commands.setHandler(Command::Run, [this] { context_.runs.run(RunLines::Whole, RunScope::Connection); });
  commands.setHandler(Command::RunToCursor,
                      [this] { context_.runs.run(RunLines::ToCursor, RunScope::Connection); });
  commands.setHandler(Command::RunBranch, [this] { context_.runs.run(RunLines::Whole, RunScope::Branch); });
  commands.setHandler(Command::RunBranchToCursor,
                      [this] { context_.runs.run(RunLines::ToCursor, RunScope::Branch); });
  commands.setHandler(Command::RunAllSelected, [this] { context_.multiRun.start(); });
  commands.setHandler(Command::ImportConnection, [this] { context_.transfers.importConnections(); });
  commands.setHandler(Command::ExportConnection, [this] { context_.transfers.exportConnections(); });
  commands.setHandler(Command::ImportMacro, [this] { context_.transfers.importMacro(); });
  commands.setHandler(Command::ExportMacro, [this] { context_.transfers.exportMacro(); });
  commands.setHandler(Command::CorvaneHelp,
                      [this] { openHelp("corvhelp.hlp", "Corvane help file 'corvhelp.hlp' not found."); });
  commands.setHandler(Command::MacroHelp,
                      [this] { openHelp("macro.hlp", "Corvane macro help file 'macro.hlp' not found."); });
  commands.setHandler(Command::About, [this] {
    AboutWindow about(&context_.window);
    connect(&about, &AboutWindow::linkClicked, this,
            [this](const std::string& url) { context_.services.openDocument(url); });
    about.exec();
  });
  commands.setHandler(Command::License, [this] {
    LicenceWindow licence(&context_.window);
    licence.exec();
  });
  commands.setHandler(Command::PreviewBranchMacro, [this] { showPreview(); });
  commands.setHandler(Command::ShowPopup, [this] { context_.runs.showPopup(); });
  commands.setHandler(Command::UndoTreeChange, [this] { context_.editing.undo(); });
  commands.setHandler(Command::RedoTreeChange, [this] { context_.editing.redo(); });
  commands.setHandler(Command::Apply, [this] {
    context_.commands.disableButton(Command::Apply);  // the button disables itself first
    context_.cycle.apply();
  });
  connectPageCommands();
}

void CommandHandlers::connectPageCommands() {
  CommandActions& commands = context_.commands;
  ColorsPage& colors = context_.pages.colors();
  commands.attachButton(Command::SetParentColors, colors.parentColorsButton());
  commands.attachButton(Command::SetSameBackground, colors.sameBackgroundButton());
  commands.setHandler(Command::SetParentColors, [&colors] { colors.takeParentColors(); });
  commands.setHandler(Command::SetSameBackground, [&colors] { colors.copyBackgroundToAll(); });
  // The submenu's items do the work; the submenu itself only opens.
  commands.setHandler(Command::ImportTemplate, [] {});
  commands.setHandler(Command::ImportFromTools, [] {});
  context_.foreignImports.fillMenu(*commands.foreignImportMenu());
  FillTemplateMenu(*commands.templateMenu(), [this](int tag) {
    QsciScintilla& editor = context_.pages.macro().editor();
    context_.cycle.writeIntoPages([&editor, tag] { InsertTemplate(editor, pages::MacroTemplateText(tag)); });
    editor.setFocus(Qt::OtherFocusReason);
  });
}

void CommandHandlers::showPreview() {
  if (!preview_) {
    preview_ = new PreviewWindow(context_.runs, context_.editorPointSize, &context_.window);
    // It follows the focused connection, the selection and the editor's unapplied text.
    connect(context_.tree.selectionModel(), &QItemSelectionModel::currentChanged, preview_,
            &PreviewWindow::refresh);
    connect(context_.tree.selectionModel(), &QItemSelectionModel::selectionChanged, preview_,
            &PreviewWindow::refresh);
    connect(&context_.pages, &ConnectionPages::edited, preview_, &PreviewWindow::refresh);
  }
  preview_->show();
  preview_->raise();
  preview_->refresh();
}

void CommandHandlers::openHelp(const char* file, const char* missing) {
  // The emulator's help files lie beside it.
  const std::string path =
      platform::EmulatorDirFor(context_.services.programDir, context_.settingsPage.emulatorDir()) + "/" +
      file;
  if (!FileExists(path)) {
    context_.prompter.error(missing);
    return;
  }
  if (const platform::LaunchResult opened = context_.services.openDocument(path); !opened.ok)
    context_.prompter.error("Cannot open " + path + ": " + opened.error);
}

bool CommandHandlers::refusedDuringMultiRun() {
  if (!context_.multiRun.active()) return false;
  context_.prompter.information(
      "\"Run all selected\" is still starting connections.\rWait until it has finished, or cancel it with "
      "Esc.");
  return true;
}

}  // namespace varnok::app
