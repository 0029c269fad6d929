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
  set(Command::New, [this] { context_.document.newDocument(); });
  set(Command::Open, [this] { context_.document.open(); });
  set(Command::Save, [this] { context_.document.save(); });
  set(Command::SaveAs, [this] { context_.document.saveAs(); });
  set(Command::AddChild, [this] { context_.editing.addChild(); });
  set(Command::AddSibling, [this] { context_.editing.addSibling(); });
  set(Command::AddSeparator, [this] { context_.editing.addSeparatorLine(); });
  set(Command::Duplicate, [this] { context_.editing.duplicate(); });
  set(Command::Delete, [this] {
    context_.commands.disableButton(Command::Delete);  // the button disables itself first
    context_.editing.deleteSelected();
  });
  set(Command::MoveUp, [this] { context_.editing.moveUp(); });
  set(Command::MoveDown, [this] { context_.editing.moveDown(); });
  set(Command::Undo, [this] { context_.edits.undo(); });
  set(Command::Cut, [this] {
    context_.commands.disableButton(Command::Cut);
    context_.edits.cut();
  });
  set(Command::Copy, [this] { context_.edits.copy(); });
  set(Command::Paste, [this] { context_.edits.paste(); });
  set(Command::SelectAll, [this] { context_.edits.selectAll(); });
  set(Command::Run, [this] { context_.runs.run(RunLines::Whole, RunScope::Connection); });
  set(Command::RunToCursor, [this] { context_.runs.run(RunLines::ToCursor, RunScope::Connection); });
  set(Command::RunBranch, [this] { context_.runs.run(RunLines::Whole, RunScope::Branch); });
  set(Command::RunBranchToCursor, [this] { context_.runs.run(RunLines::ToCursor, RunScope::Branch); });
  set(Command::RunAllSelected, [this] { context_.multiRun.start(); });
  set(Command::ImportConnection, [this] { context_.transfers.importConnections(); });
  set(Command::ExportConnection, [this] { context_.transfers.exportConnections(); });
  set(Command::ImportMacro, [this] { context_.transfers.importMacro(); });
  set(Command::ExportMacro, [this] { context_.transfers.exportMacro(); });
  set(Command::CorvaneHelp,
      [this] { openHelp("corvhelp.hlp", "Corvane help file 'corvhelp.hlp' not found."); });
  set(Command::MacroHelp,
      [this] { openHelp("macro.hlp", "Corvane macro help file 'macro.hlp' not found."); });
  set(Command::About, [this] {
    AboutWindow about(&context_.window);
    connect(&about, &AboutWindow::linkClicked, this,
            [this](const std::string& url) { context_.services.openDocument(url); });
    about.exec();
  });
  set(Command::License, [this] {
    LicenceWindow licence(&context_.window);
    licence.exec();
  });
  set(Command::PreviewBranchMacro, [this] { showPreview(); });
  set(Command::ShowPopup, [this] { context_.runs.showPopup(); });
  set(Command::UndoTreeChange, [this] { context_.editing.undo(); });
  set(Command::RedoTreeChange, [this] { context_.editing.redo(); });
  set(Command::Apply, [this] {
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
  set(Command::SetParentColors, [&colors] { colors.takeParentColors(); });
  set(Command::SetSameBackground, [&colors] { colors.copyBackgroundToAll(); });
  // The submenu's items do the work; the submenu itself only opens.
  set(Command::ImportTemplate, [] {});
  set(Command::ImportFromTools, [] {});
  context_.foreignImports.fillMenu(*commands.foreignImportMenu());
  FillTemplateMenu(*commands.templateMenu(), [this](int tag) {
    QsciScintilla& editor = context_.pages.macro().editor();
    context_.cycle.writeIntoPages(
        [&editor, tag] { InsertTemplate(editor, properties::MacroTemplateText(tag)); });
    editor.setFocus(Qt::OtherFocusReason);
  });
}

void CommandHandlers::set(Command id, std::function<void()> handler) {
  if (WaitsForMultiRun(id))
    handler = [this, inner = std::move(handler)] {
      if (!refusedDuringMultiRun()) inner();
    };
  context_.commands.setHandler(id, std::move(handler));
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
