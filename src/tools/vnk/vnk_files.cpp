#include "vnk_files.h"

#include <iostream>

#include "files/import_export.h"
#include "run/schedule_agenda.h"
#include "vnk_command.h"
#include "vnk_config.h"

namespace varnok::vnk {

void LoadAnyFormat(ConnectionTree& tree, const std::string& path) {
  LoadResult r = LoadConnectionsFile(tree, path, Places().emulatorDir);
  if (r.ok()) return;
  std::string text = r.message;
  if (!r.reason.empty()) text += " (" + r.reason + ")";
  throw Failure(ForTerminal(text));
}

void SaveAnyFormat(const ConnectionTree& tree, const std::string& path, const NodeFilter& selected) {
  if (path == "-") {
    ProduceConfiguration(tree, selected, 1 << 20, [](std::string_view piece) {
      std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      return static_cast<bool>(std::cout);
    });
    return;  // a failed write is reported with the output's other errors
  }
  platform::WriteResult w = ExportConnections(tree, path, selected);
  if (w) return;
  std::string text = ForTerminal(w.error);
  if (!platform::CheckRegularFile(path).empty()) text += " (\"-\" writes to standard output)";
  throw Failure(text);
}

std::string NodePath(const TreeNode* node) { return run::ConnectionPath(node); }

}  // namespace varnok::vnk
