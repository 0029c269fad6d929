// Builds Demo.vnk from its readable source, demo.json, at build time:
//   make_demo <demo.json> <Demo.vnk>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "common/stored_text.h"
#include "common/trim_text.h"
#include "files/vnk_file.h"

namespace {

using nlohmann::json;
using namespace varnok;

std::string Lines(const json& node, const char* key) {
  std::string text;
  if (!node.contains(key)) return text;
  for (const auto& line : node.at(key)) {
    if (!text.empty()) text += "\r\n";
    text += line.get<std::string>();
  }
  return EncodeText(TrimText(text));
}

void AddNodes(ConnectionTree& tree, TreeNode* parent, const json& nodes) {
  for (const auto& n : nodes) {
    rVTNodeData d;
    if (n.value("separator", false)) {
      d.Name = std::string(kSeparatorName);
      d.Colors =
          n.value("colors", std::string("0:0:0:255:255:216:0:0:255:255:255:216:0:255:255:255:255:216"));
    } else {
      d.Name = n.at("name").get<std::string>();
      d.Macro = Lines(n, "macro");
      d.PopupText = Lines(n, "popup");
      d.Schedule = n.value("schedule", std::string());
      d.LastUpdated = n.value("lastUpdated", std::string());
      d.Colors = n.at("colors").get<std::string>();
      d.StartLogging = n.value("logging", false);
      d.NodeType = d.Macro.empty() ? StoredNodeType::NoMacro : StoredNodeType::Macro;
    }
    TreeNode* added = tree.insert(parent, parent->childCount(), ConnectionTree::newNode(std::move(d)));
    if (n.contains("children")) AddNodes(tree, added, n.at("children"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_demo <demo.json> <Demo.vnk>\n";
    return 2;
  }
  try {
    std::ifstream in(argv[1]);
    if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
    json source = json::parse(in);
    ConnectionTree tree;
    AddNodes(tree, tree.top(), source.at("nodes"));
    platform::WriteResult w = SaveConfiguration(tree, argv[2]);
    if (!w) throw std::runtime_error(w.error);
  } catch (const std::exception& e) {
    std::cerr << "make_demo: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
