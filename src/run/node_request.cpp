#include "run/node_request.h"

#include <algorithm>

#include "common/stored_text.h"
#include "run/macro_text.h"
#include "run/schedule_agenda.h"

namespace varnok::run {

std::vector<const TreeNode*> AncestorsRootFirst(const TreeNode* node) {
  std::vector<const TreeNode*> chain;
  for (const TreeNode* p = node->parent(); p && p->parent(); p = p->parent()) chain.push_back(p);
  std::reverse(chain.begin(), chain.end());
  return chain;
}

std::string MacroSourcePath(const TreeNode* node) {
  std::vector<const TreeNode*> chain = AncestorsRootFirst(node);
  chain.push_back(node);
  std::string path;
  for (const TreeNode* n : chain) {
    const MacroLines lines = SplitLines(DecodeText(n->data().Macro));
    if (std::none_of(lines.begin(), lines.end(),
                     [](const std::string& l) { return !TrimControl(l).empty(); }))
      continue;
    path += (path.empty() ? "" : "/") + PathPart(n->name());
  }
  return path;
}

MacroRequest RequestForNode(const TreeNode* node, bool branch, const std::string& emulatorDir) {
  MacroRequest request;
  if (branch) {
    for (const TreeNode* a : AncestorsRootFirst(node))
      request.ancestors.push_back({std::string(a->data().Name), DecodeText(a->data().Macro)});
  }
  request.own = {std::string(node->data().Name), DecodeText(node->data().Macro)};
  request.startLogging = node->data().StartLogging;
  request.colors = properties::ColorSetOrDefault(node->data().Colors, emulatorDir);
  return request;
}

}  // namespace varnok::run
