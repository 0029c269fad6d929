// vnk list FILE: the tree of a configuration file as an outline, or with
// --json every stored node with its fields.
#include <iostream>
#include <nlohmann/json.hpp>

#include "common/stored_text.h"
#include "common/utf8.h"
#include "terminal_text.h"
#include "vnk_command.h"
#include "vnk_config.h"

namespace {

using varnok::ConnectionTree;
using varnok::ToUtf8Lenient;
using varnok::TreeNode;
using varnok::vnk::EscapeControls;

// Deeper levels than this are not indented further; their level is shown as
// a number, so that a deep chain cannot fill a disk with blanks.
constexpr int kMaxIndentedLevel = 32;

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

void PrintOutlineLine(const varnok::rVTNodeData& d) {
  int level = d.Level < 1 ? 1 : d.Level;
  if (level <= kMaxIndentedLevel) {
    std::cout << std::string(2 * static_cast<std::size_t>(level - 1), ' ') << EscapeControls(d.Name) << "\n";
  } else {
    std::cout << std::string(2 * static_cast<std::size_t>(kMaxIndentedLevel - 1), ' ') << "(level " << level
              << ") " << EscapeControls(d.Name) << "\n";
  }
}

// One array element as nlohmann's dump(2) of the whole array would write it.
void PrintJsonElement(const nlohmann::json& element, bool first) {
  std::string text = element.dump(2);
  std::string indented;
  indented.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    indented += c;
    if (c == '\n') indented += "  ";
  }
  std::cout << (first ? "[\n  " : ",\n  ") << indented;
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
          "below the first; below level 32 the indent stays and \"(level N) \" precedes the name. Control "
          "characters in names are shown as \\xHH.");
      cmd->callback([file, json] {
        ConnectionTree tree;
        varnok::vnk::LoadTree(tree, *file);
        int index = 1;
        bool first = true;
        // Written as it goes, and stopped once the output fails.
        for (const TreeNode* n = ConnectionTree::next(tree.top()); n && std::cout;
             n = ConnectionTree::next(n), ++index) {
          if (*json) {
            PrintJsonElement(NodeJson(index, n->data()), first);
            first = false;
          } else {
            PrintOutlineLine(n->data());
          }
        }
        if (*json) std::cout << (first ? "[]\n" : "\n]\n");
      });
    }};

}  // namespace
