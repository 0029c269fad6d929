#include "run/transfer_commands.h"

#include <Qsci/qsciscintilla.h>

#include <QItemSelectionModel>
#include <QTreeView>

#include "dialogs/prompts.h"
#include "document/document.h"
#include "files/import_export.h"
#include "pages/connection_pages.h"
#include "pages/macro_page.h"
#include "pages/page_cycle.h"
#include "pages/page_text.h"
#include "platform/safe_write.h"
#include "run/run_commands.h"
#include "tree/history_step.h"
#include "tree/tree_editing.h"
#include "tree/tree_model.h"
#include "tree/tree_selection.h"

namespace varnok::app {

namespace {

const char* const kConnectionFilter =
    "Varnok file (*.VNK)|*.VNK|Pallory file (*.PLF)|*.PLF|All files (*.*)|*.*";
const char* const kExportFilter = "Varnok file (*.VNK)|*.VNK|All files (*.*)|*.*";
const char* const kMacroFilter = "Corvane Macro files (*.CVL)|*.CVL|All files (*.*)|*.*";

}  // namespace

TransferCommands::TransferCommands(Context context, QObject* parent)
    : QObject(parent), context_(context), prompter_(context.prompter), dialogs_(context.dialogs) {}

void TransferCommands::importConnections() {
  const auto path = dialogs_.openFile({"Import connections from file", kConnectionFilter, "vnk", ""});
  if (path) importFile(*path);
}

void TransferCommands::importFile(const std::string& path) {
  {
    HistoryStep step(context_.document.history(), TreeSelection(context_.tree, context_.model));
    context_.document.importFile(path);
  }
  emit refreshRequested();
}

void TransferCommands::exportConnections() {
  TreeSelection selection(context_.tree, context_.model);
  const ConnectionTree& tree = context_.document.tree();
  const ExportSelection chosen =
      CheckExportSelection(tree, selection.selectedNodes(), [this](std::string_view q) {
        return prompter_.ask(PromptKind::Warning, PromptButtons::OKCancel, std::string(q)) ==
               PromptAnswer::OK;
      });
  QItemSelectionModel& model = *context_.tree.selectionModel();
  // The top node never takes part.
  model.select(context_.model.indexOf(tree.top()), QItemSelectionModel::Deselect);
  if (!chosen.proceed) return;
  for (const TreeNode* n : chosen.added) model.select(context_.model.indexOf(n), QItemSelectionModel::Select);
  const auto path = dialogs_.saveFile({"Export selected connections to file", kExportFilter, "vnk", ""});
  if (!path) return;
  const platform::WriteResult written = ExportConnections(tree, *path, SelectionFilter(chosen.nodes));
  if (!written) prompter_.error(written.error);
  emit refreshRequested();
}

void TransferCommands::importMacro() {
  if (context_.pages.isModified() && !context_.pages.macro().isMacroEmpty() && !context_.cycle.settleEdits())
    return;
  const auto path = dialogs_.openFile({"Import macro from file", kMacroFilter, "cvl", ""});
  if (!path) return;
  std::string bytes;
  if (const platform::WriteResult read = platform::ReadWholeFile(*path, bytes); !read) {
    prompter_.error(read.error);
    return;
  }
  // Applied as usual, or not.
  QsciScintilla& editor = context_.pages.macro().editor();
  context_.cycle.writeIntoPages(
      [&] { editor.setText(QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()))); });
}

void TransferCommands::exportMacro() {
  // The dialog offers the last exported macro again (never the configuration
  // file, which a macro written over it would destroy).
  const auto path = dialogs_.saveFile({"Export macro to file", kMacroFilter, "cvl", lastMacroExport_});
  if (!path) return;
  lastMacroExport_ = *path;
  context_.runs.exportMacro(*path);
}

}  // namespace varnok::app
