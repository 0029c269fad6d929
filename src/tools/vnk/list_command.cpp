// vnk list FILE: the tree of a configuration file as an outline, or with
// --json every stored node with its fields.
#include <iostream>
#include <nlohmann/json.hpp>

#include "common/stored_text.h"
#include "common/utf8.h"
#include "vnk_command.h"
#include "vnk_config.h"

namespace {

using varnok::ConnectionTree;
using varnok::ToUtf8Lenient;
using varnok::TreeNode;

nlohmann::json NodeJson(int index, const varnok::rVTNodeData& d) {
  return {{"index", index},
          {"level", d.Level},
          {"name", ToUtf8Lenient(d.Name)},
          {"nodeType", d.NodeType},
          {"startLogging", d.StartLogging},
          {"macro", ToUtf8Lenient(varnok::DecodeText(d.Macro))},
          {"popup", ToUtf8Lenient(varnok::DecodeText(d.PopupText))},
          {"schedule", ToUtf8Lenient(d.Schedule)},
          {"lastUpdated", ToUtf8Lenient(d.LastUpdated)},
          {"colors", ToUtf8Lenient(d.Colors)}};
}

const varnok::vnk::Registration reg{
    "list", [](CLI::App& app) {
      auto* cmd = app.add_subcommand("list", "Print the tree of a configuration file");
      auto file = std::make_shared<std::string>();
      auto json = std::make_shared<bool>(false);
      cmd->add_option("FILE", *file, "the configuration file (.vnk)")->required();
      cmd->add_flag(
          "--json", *json,
          "print a JSON array with one object per stored node in tree order: index (absolute, top node 0), "
          "level, name, nodeType, startLogging, macro, popup, schedule, lastUpdated, colors");
      cmd->footer(
          "Without --json: one line per node below the top node, its name indented by two blanks per level "
          "below the first.");
      cmd->callback([file, json] {
        ConnectionTree tree;
        varnok::vnk::LoadTree(tree, *file);
        nlohmann::json out = nlohmann::json::array();
        int index = 1;
        for (const TreeNode* n = ConnectionTree::next(tree.top()); n; n = ConnectionTree::next(n), ++index) {
          if (*json) {
            out.push_back(NodeJson(index, n->data()));
          } else {
            std::cout << std::string(2 * static_cast<std::size_t>(n->data().Level - 1), ' ') << n->name()
                      << "\n";
          }
        }
        if (*json) std::cout << out.dump(2) << "\n";
      });
    }};

}  // namespace
