// vnk export FILE NODE... -o OUT: writes the given nodes, together with the
// parents they need, to OUT as "Export connection ..." does.
#include <iostream>

#include "files/import_export.h"
#include "vnk_command.h"
#include "vnk_config.h"
#include "vnk_files.h"

namespace {

struct ExportArgs {
  std::string file, out;
  std::vector<std::string> nodes;
  bool subtree = false;
};

const varnok::vnk::Registration reg{
    "export", [](CLI::App& app) {
      auto* cmd =
          app.add_subcommand("export", "Export connections with their parents to a .vnk or .plf file");
      auto a = std::make_shared<ExportArgs>();
      cmd->add_option("FILE", a->file, "the configuration to export from (.plf: text format; otherwise .VNK)")
          ->required();
      cmd->add_option(
             "NODE", a->nodes,
             "absolute index (top node 0), or path of names from a child of the top node joined by \"/\" "
             "(\"\\/\" for a \"/\" inside a name)")
          ->required();
      cmd->add_option("-o,--output", a->out,
                      "the file to write (.plf in any letter case: text format; otherwise .VNK; \"-\": .VNK "
                      "to standard output)")
          ->required();
      cmd->add_flag("--subtree", a->subtree,
                    "also export every descendant of each NODE (with NODE 0: the whole tree)");
      cmd->footer(
          "An export always carries each node's chain of parents: parents not given are added, and each "
          "one added is printed as \"added parent: PATH\". Only the nodes given or added are written, "
          "not their other children unless --subtree is given. The top node is never written.");
      cmd->callback([a] {
        varnok::ConnectionTree tree;
        varnok::vnk::LoadAnyFormat(tree, a->file);
        std::vector<varnok::TreeNode*> selected;
        for (const std::string& spec : a->nodes) {
          varnok::TreeNode* node = varnok::vnk::FindNode(tree, spec);
          selected.push_back(node);
          if (!a->subtree) continue;
          for (varnok::TreeNode* d = varnok::ConnectionTree::nextInSubtree(node, node); d;
               d = varnok::ConnectionTree::nextInSubtree(d, node))
            selected.push_back(d);
        }
        varnok::ExportSelection s =
            varnok::CheckExportSelection(tree, std::move(selected), [](std::string_view) { return true; });
        if (s.nodes.empty()) throw varnok::vnk::Failure("nothing to export: the top node is never written");
        for (const varnok::TreeNode* n : s.added)
          (a->out == "-" ? std::cerr : std::cout) << "added parent: " << varnok::vnk::NodePath(n) << "\n";
        varnok::vnk::SaveAnyFormat(tree, a->out, varnok::SelectionFilter(s.nodes));
      });
    }};

}  // namespace
