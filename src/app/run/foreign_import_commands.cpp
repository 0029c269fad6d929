#include "run/foreign_import_commands.h"

#include <QMenu>
#include <QTreeView>
#include <filesystem>
#include <system_error>

#include "dialogs/import_preview_dialog.h"
#include "dialogs/prompts.h"
#include "document/document.h"
#include "platform/home_dir.h"
#include "tree/history_step.h"
#include "tree/tree_model.h"
#include "tree/tree_selection.h"

namespace varnok::app {
namespace {

struct SourceKind {
  ForeignFormat format;
  const char* item;        // menu caption
  const char* objectName;  // the item's object name
  const char* title;       // open dialog title
  const char* filter;
  const char* extension;
};

constexpr SourceKind kSources[] = {
    {ForeignFormat::OpenSsh, "OpenSSH config ...", "MnImportOpenSsh",
     "Import connections from an OpenSSH config", "All files (*.*)|*.*", ""},
    {ForeignFormat::Putty, "PuTTY sessions ...", "MnImportPutty",
     "Import PuTTY sessions (a session file or a registry export)",
     "Registry export (*.REG)|*.REG|All files (*.*)|*.*", "reg"},
    {ForeignFormat::Csv, "CSV table ...", "MnImportCsv", "Import connections from a CSV table",
     "CSV table (*.CSV)|*.CSV|All files (*.*)|*.*", "csv"},
};

const SourceKind& KindOf(ForeignFormat format) {
  for (const SourceKind& k : kSources)
    if (k.format == format) return k;
  return kSources[0];
}

}  // namespace

ForeignImportCommands::ForeignImportCommands(Context context, QObject* parent)
    : QObject(parent), context_(std::move(context)) {}

void ForeignImportCommands::fillMenu(QMenu& menu) {
  for (const SourceKind& k : kSources) {
    QAction* action = menu.addAction(QString::fromLatin1(k.item));
    action->setObjectName(QString::fromLatin1(k.objectName));
    const ForeignFormat format = k.format;
    QObject::connect(action, &QAction::triggered, &menu, [this, format] { importFrom(format); });
  }
}

std::optional<std::string> ForeignImportCommands::chooseSource(ForeignFormat format, bool offerDefault) {
  // The tool's own place is read at once when it is there.
  const std::string preset = DefaultForeignSource(format, platform::HomeDirectory());
  std::error_code ec;
  if (offerDefault && !preset.empty() && std::filesystem::exists(preset, ec)) return preset;
  const SourceKind& kind = KindOf(format);
  return context_.dialogs.openFile({kind.title, kind.filter, kind.extension, ""});
}

void ForeignImportCommands::importFrom(ForeignFormat format) {
  std::optional<std::string> source = chooseSource(format, true);
  while (source) {
    ForeignImport found =
        ReadForeignSource(format, *source, {context_.programDir, platform::HomeDirectory()});
    if (!found.ok()) {
      context_.prompter.warning(found.error);
      return;
    }
    ImportPreviewDialog preview(found, *source, &context_.window);
    const int answer = preview.exec();
    if (answer == ImportPreviewDialog::kChooseAnother) {
      source = chooseSource(format, false);
      continue;
    }
    if (answer != QDialog::Accepted) return;
    auto roots = KeepChecked(std::move(found.roots), [&](const TreeNode* n) { return preview.isChecked(n); });
    {
      HistoryStep step(context_.document.history(), TreeSelection(context_.tree, context_.model));
      context_.document.importNodes(std::move(roots));
    }
    emit refreshRequested();
    return;
  }
}

}  // namespace varnok::app
