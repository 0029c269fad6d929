// The demo configuration that the build generates for `make run`.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "tree_helpers.h"

namespace varnok {
namespace {

TEST(DemoConfiguration, LoadsAsARealisticTree) {
  ConnectionTree tree;
  LoadResult r = LoadConfiguration(tree, std::string(VARNOK_BIN_DIR) + "/Demo.vnk", false);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(test::CheckInvariants(tree), "");
  TreeNode* jump = tree.top()->child(0);
  EXPECT_GE(jump->childCount(), 2) << "a jump host with devices behind it";
  int separators = 0, schedules = 0, deepest = 0;
  bool connection = false, user = false;
  for (TreeNode* n = ConnectionTree::next(tree.top()); n; n = ConnectionTree::next(n)) {
    separators += n->isSeparator();
    schedules += !n->data().Schedule.empty();
    deepest = std::max(deepest, n->data().Level);
    std::string macro = DecodeText(n->data().Macro);
    connection |= macro.find("$CONNECTION$") != std::string::npos;
    user |= macro.find("$user$") != std::string::npos;
    if (!n->isSeparator()) {
      EXPECT_EQ(n->data().NodeType, n->data().Macro.empty() ? StoredNodeType::NoMacro : StoredNodeType::Macro)
          << n->name();
      EXPECT_EQ(std::count(n->data().Colors.begin(), n->data().Colors.end(), ':'), 17) << n->name();
    }
  }
  EXPECT_GE(separators, 1);
  EXPECT_EQ(schedules, 1);
  EXPECT_GE(deepest, 3);
  EXPECT_TRUE(connection && user);
  EXPECT_GE(tree.top()->childCount(), 3) << "a second site";
}

}  // namespace
}  // namespace varnok
