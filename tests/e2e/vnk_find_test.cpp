// vnk find run as the built program: paths of the matches, JSON, a limit,
// and the exit status when nothing matches.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "capture.h"
#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "model/connection_tree.h"
#include "program_dir.h"

namespace varnok::test {
namespace {

rVTNodeData Node(const std::string& name, const std::string& macro = "", const std::string& popup = "") {
  rVTNodeData d;
  d.Name = name;
  d.Macro = EncodeText(macro);
  d.PopupText = EncodeText(popup);
  return d;
}

class VnkFindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Site A / Lab/1 / {rtr1, sw1}; Office rtr\x1b; Edge.
    TreeNode* site =
        tree.insert(tree.top(), 0, ConnectionTree::newNode(Node("Site A", "connect 'jump /ssh'")));
    TreeNode* lab = tree.insert(site, 0, ConnectionTree::newNode(Node("Lab/1")));
    tree.insert(lab, 0, ConnectionTree::newNode(Node("rtr1", "sendln 'ssh ops@10.0.0.1'", "Rack 4")));
    tree.insert(lab, 1, ConnectionTree::newNode(Node("sw1", "connect 'sw1:23 /nossh'")));
    tree.insert(site, 1, ConnectionTree::newNode(Node("Office RTR\x1b")));
    tree.insert(tree.top(), 1, ConnectionTree::newNode(Node("Edge")));
    ASSERT_TRUE(SaveConfiguration(tree, config));
  }
  Output vnk(const std::vector<std::string>& args) { return Capture(dir, dir.file("vnk"), args); }

  ProgramDir dir{{"vnk"}};
  ConnectionTree tree;
  std::string config = dir.scratch("net.vnk");
};

TEST_F(VnkFindTest, PrintsThePathsOfTheMatchesInTreeOrder) {
  Output o = vnk({"find", config, "rtr"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Site A/Lab\\/1/rtr1\nSite A/Office RTR\\x1b\n");
  // Words joined; fields; phrases; "--" lets a word begin with "-".
  EXPECT_EQ(vnk({"find", config, "site", "host:10.0.0"}).out, "Site A/Lab\\/1/rtr1\n");
  EXPECT_EQ(vnk({"find", config, "user:ops"}).out, "Site A/Lab\\/1/rtr1\n");
  EXPECT_EQ(vnk({"find", config, "popup:\"rack 4\""}).out, "Site A/Lab\\/1/rtr1\n");
  EXPECT_EQ(vnk({"find", config, "--", "site", "-lab"}).out, "Site A\nSite A/Office RTR\\x1b\n");
  EXPECT_EQ(vnk({"find", config, "a", "-n", "2"}).out, "Site A\nSite A/Lab\\/1\n");
}

TEST_F(VnkFindTest, JsonAndFailures) {
  Output o = vnk({"find", config, "sw1", "--json"});
  ASSERT_EQ(o.status, 0) << o.err;
  const nlohmann::json j = nlohmann::json::parse(o.out);
  ASSERT_EQ(j.size(), 1u);
  EXPECT_EQ(j[0]["index"], 4);
  EXPECT_EQ(j[0]["level"], 3);
  EXPECT_EQ(j[0]["path"], "Site A/Lab\\/1/sw1");

  o = vnk({"find", config, "nowhere"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "");
  EXPECT_NE(o.err.find("no connection matches"), std::string::npos);
  EXPECT_EQ(vnk({"find", config, "nowhere", "--json"}).out, "[]\n");
  EXPECT_EQ(vnk({"find", dir.scratch("missing.vnk"), "x"}).status, 1);
  EXPECT_EQ(vnk({"find", config}).status, 2);
}

}  // namespace
}  // namespace varnok::test
