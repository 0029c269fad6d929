#include "run/run_commands.h"

#include <Qsci/qsciscintilla.h>

#include <QTreeView>

#include "dialogs/prompts.h"
#include "pages/app_settings.h"
#include "pages/colors_page.h"
#include "pages/connection_pages.h"
#include "pages/macro_page.h"
#include "pages/page_cycle.h"
#include "pages/popup_page.h"
#include "pages/settings_page.h"
#include "run/execute_macro.h"
#include "run/macro_text.h"
#include "run/node_request.h"
#include "run/preview_window.h"
#include "run/schedule_agenda.h"
#include "tree/tree_model.h"
#include "tree/tree_selection.h"

namespace varnok::app {

namespace {

std::string Local8Bit(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace

void ApplyPageSettings(run::MacroRequest& request, const SettingsPage& settingsPage) {
  AppSettings settings;
  settingsPage.collect(settings);
  request.userName = settings.varName;
  request.userEmail = settings.varEmail;
  request.userPhone = settings.varPhone;
  request.disableColors = settingsPage.colorSupportDisabled();
}

platform::ProgramPlaces RunPlaces(const std::string& programDir, const SettingsPage& settingsPage) {
  return platform::ThisProgramPlaces(programDir, settingsPage.emulatorDir());
}

RunCommands::RunCommands(Context context, Prompter& prompter, std::string programDir, QObject* parent)
    : QObject(parent), context_(context), prompter_(prompter), programDir_(std::move(programDir)) {}

run::MacroRequest RunCommands::requestFor(const TreeNode* node, RunLines lines, RunScope scope) const {
  run::MacroRequest request = run::RequestForNode(node, scope == RunScope::Branch,
                                                  RunPlaces(programDir_, context_.settingsPage).emulatorDir);
  const MacroPage& macro = context_.pages.macro();
  const bool shown = node == context_.cycle.shownNode();
  if (lines == RunLines::ToCursor)
    request.own.text = Local8Bit(macro.editor().selectedText());
  else if (shown && context_.pages.isModified())
    request.own.text = Local8Bit(macro.editor().text());  // unapplied edits run as they stand
  if (shown) {
    request.startLogging = macro.startLogging();
    request.colors = context_.pages.colors().liveSet();  // the Colors page's set, applied or not
  }
  ApplyPageSettings(request, context_.settingsPage);
  return request;
}

void RunCommands::run(RunLines lines, RunScope scope) {
  const TreeNode* node = TreeSelection(context_.tree, context_.model).focused();
  if (!node || !node->parent() || node->isSeparator()) return;
  if (lines == RunLines::ToCursor) {
    context_.pages.macro().selectToCaretLine();
    emit refreshRequested();
  }
  execute(requestFor(node, lines, scope));
}

PreviewContent RunCommands::preview() const {
  const TreeSelection selection(context_.tree, context_.model);
  const TreeNode* node = selection.focused();
  if (!node || !node->parent() || node->isSeparator()) return {};
  return {run::PreviewRunText(requestFor(node, RunLines::Whole, RunScope::Branch),
                              RunPlaces(programDir_, context_.settingsPage)),
          run::ConnectionPath(node), selection.selectedCount()};
}

void RunCommands::exportMacro(const std::string& path) {
  const TreeNode* node = TreeSelection(context_.tree, context_.model).focused();
  if (!node || !node->parent() || node->isSeparator()) return;
  run::MacroRequest request = requestFor(node, RunLines::Whole, RunScope::Branch);
  request.exportFile = path;
  execute(std::move(request));
}

void RunCommands::execute(run::MacroRequest request) {
  run::RunEnvironment env;
  env.places = RunPlaces(programDir_, context_.settingsPage);
  env.numbering = &numbering_;
  report(run::ExecuteMacro(request, env));
}

void RunCommands::report(const run::RunResult& result) {
  for (const run::RunMessage& m : result.messages) {
    if (m.kind == run::MessageKind::Warning)
      prompter_.warning(m.text);
    else
      prompter_.error(m.text);
  }
}

void RunCommands::showPopup() {
  // Each line followed by CR LF; the text as the editor holds it, applied or not.
  const std::string shown =
      run::JoinLines(run::SplitLines(Local8Bit(context_.pages.popup().editor().text())));
  prompter_.ask(PromptKind::Information, PromptButtons::OKCancel, shown + "\rPress Ok to continue.");
}

}  // namespace varnok::app
