#include "run/node_request.h"

#include <gtest/gtest.h>

#include "common/stored_text.h"
#include "temp_dir.h"

namespace varnok::run {
namespace {

rVTNodeData Node(const std::string& name, const std::string& macro, const std::string& colors = "") {
  rVTNodeData d;
  d.Name = name;
  d.Macro = EncodeText(macro);
  d.Colors = colors;
  return d;
}

TEST(NodeRequest, BranchOfThreeTakesStoredMacrosTopMostFirst) {
  test::TempDir dir;  // no corvane.ini: the default colour set is schema 0
  ConnectionTree tree;
  TreeNode* a = tree.insert(tree.top(), 0, ConnectionTree::newNode(Node("A", "a1\r\n$CONNECTION$")));
  TreeNode* b = tree.insert(a, 0, ConnectionTree::newNode(Node("B", "b1")));
  rVTNodeData cData = Node("C", "c1", properties::ColorSchemas[5].colors);
  cData.StartLogging = true;
  TreeNode* c = tree.insert(b, 0, ConnectionTree::newNode(cData));

  EXPECT_EQ(AncestorsRootFirst(c), (std::vector<const TreeNode*>{a, b}));
  EXPECT_TRUE(AncestorsRootFirst(a).empty());

  MacroRequest branch = RequestForNode(c, true, dir.path());
  AssembledMacro m = AssembleMacro(branch.ancestors, branch.own);
  EXPECT_EQ(m.lines, (MacroLines{"a1", "A", "b1", "c1"}));
  EXPECT_EQ(m.logName, "A_B_C_");
  EXPECT_TRUE(branch.startLogging);
  EXPECT_EQ(properties::FormatColorString(branch.colors), properties::ColorSchemas[5].colors);

  MacroRequest alone = RequestForNode(c, false, dir.path());
  EXPECT_TRUE(alone.ancestors.empty());
  EXPECT_EQ(AssembleMacro(alone.ancestors, alone.own).logName, "C_");
  EXPECT_EQ(properties::FormatColorString(RequestForNode(b, false, dir.path()).colors),
            properties::ColorSchemas[0].colors);
}

}  // namespace
}  // namespace varnok::run
