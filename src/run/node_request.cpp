#include "run/node_request.h"

#include <algorithm>

#include "common/stored_text.h"

namespace varnok::run {

std::vector<const TreeNode*> AncestorsRootFirst(const TreeNode* node) {
  std::vector<const TreeNode*> chain;
  for (const TreeNode* p = node->parent(); p && p->parent(); p = p->parent()) chain.push_back(p);
  std::reverse(chain.begin(), chain.end());
  return chain;
}

MacroRequest RequestForNode(const TreeNode* node, bool branch, const std::string& programDir) {
  MacroRequest request;
  if (branch) {
    for (const TreeNode* a : AncestorsRootFirst(node))
      request.ancestors.push_back({std::string(a->data().Name), DecodeText(a->data().Macro)});
  }
  request.own = {std::string(node->data().Name), DecodeText(node->data().Macro)};
  request.startLogging = node->data().StartLogging;
  request.colors = ColorSetOrDefault(node->data().Colors, programDir);
  return request;
}

}  // namespace varnok::run
