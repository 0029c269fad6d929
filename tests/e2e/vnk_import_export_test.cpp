// vnk convert, import and export run as the built program in a temporary
// program directory.
#include <gtest/gtest.h>

#include "capture.h"
#include "common/stored_text.h"
#include "files/plf_file.h"
#include "files/vnk_file.h"
#include "model/connection_tree.h"
#include "program_dir.h"

namespace varnok::test {
namespace {

rVTNodeData Node(const std::string& name, const std::string& macro = "") {
  rVTNodeData d;
  d.Name = name;
  d.Macro = EncodeText(macro);
  d.Schedule = "=0 8 * * 1";
  d.Colors = "0:0:0:192:192:192:255:255:255:0:0:128:255:0:0:0:0:0";
  d.StartLogging = true;
  return d;
}

class VnkFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Site / Lab / Router, a separator, and Edge.
    TreeNode* site = tree.insert(tree.top(), 0, ConnectionTree::newNode(Node("Site", "ssh $CONNECTION$")));
    TreeNode* lab = tree.insert(site, 0, ConnectionTree::newNode(Node("Lab/1")));
    tree.insert(lab, 0, ConnectionTree::newNode(Node("Router", std::string(3000, 'x') + "\r\n;done")));
    rVTNodeData sep;
    sep.Name = std::string(kSeparatorName);
    tree.insert(tree.top(), 1, ConnectionTree::newNode(sep));
    tree.insert(tree.top(), 2, ConnectionTree::newNode(Node("Edge")));
    ASSERT_TRUE(SaveConfiguration(tree, config));
  }

  Output vnk(const std::vector<std::string>& args) { return Capture(dir, dir.file("vnk"), args); }

  std::string listing(const std::string& path) {
    ConnectionTree t;
    LoadResult r =
        path.ends_with(".plf") ? LoadPlfFile(t, path, dir.path()) : LoadConfiguration(t, path, false);
    EXPECT_TRUE(r.ok()) << r.message;
    std::string out;
    for (const TreeNode* n = ConnectionTree::next(t.top()); n; n = ConnectionTree::next(n))
      out += std::to_string(n->data().Level) + " " + std::string(n->name()) + "\n";
    return out;
  }

  ProgramDir dir{{"vnk"}};
  ConnectionTree tree;
  std::string config = dir.scratch("net work.vnk");
};

TEST_F(VnkFilesTest, ConvertToTextAndBackKeepsTheTree) {
  const std::string plf = dir.scratch("net.PLF"), back = dir.scratch("back.vnk");
  Output o = vnk({"convert", config, plf});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "5 nodes written to " + plf + "\n");
  const std::string text = ReadFile(plf);
  EXPECT_EQ(text.rfind("              Varnokc Ver.", 0), 0u);
  EXPECT_NE(text.find("\r\nFile   : net.PLF\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nRowCount=5\r\n"), std::string::npos);

  o = vnk({"convert", plf, back});
  ASSERT_EQ(o.status, 0) << o.err;
  // NodeType is not carried by the text format; everything else is byte for byte.
  ConnectionTree expected;
  ASSERT_TRUE(LoadConfiguration(expected, config, false).ok());
  for (TreeNode* n = ConnectionTree::next(expected.top()); n; n = ConnectionTree::next(n))
    expected.edit(n, [](rVTNodeData& d) { d.NodeType = StoredNodeType::NeverApplied; });
  EXPECT_EQ(ReadFile(back), WriteConfiguration(expected));

  o = vnk({"convert", dir.scratch("missing.plf"), back});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: File '" + dir.scratch("missing.plf") + "' not found\n");
  o = vnk({"convert", config});
  EXPECT_EQ(o.status, 2) << "usage error";
}

TEST_F(VnkFilesTest, ImportRenamesCollisionsAndWritesTheResult) {
  ConnectionTree source;
  source.insert(source.top(), 0, ConnectionTree::newNode(Node("Edge", "telnet $CONNECTION$")));
  source.insert(source.top(), 1, ConnectionTree::newNode(Node("Site")));
  source.insert(source.top(), 2, ConnectionTree::newNode(Node("Fresh")));
  const std::string plf = dir.scratch("in.plf"), out = dir.scratch("out.vnk");
  ASSERT_TRUE(SavePlfFile(source, plf));
  const std::string before = ReadFile(config);

  Output o = vnk({"import", config, plf, "-o", out});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "2 imported items were renamed to avoid duplicate names among siblings.\n");
  EXPECT_EQ(ReadFile(config), before) << "-o leaves FILE alone";
  EXPECT_EQ(
      listing(out),
      "1 Site\n2 Lab/1\n3 Router\n1 ----- separator line -----\n1 Edge\n1 Copy of Edge\n1 Copy of Site\n"
      "1 Fresh\n");

  // Without -o the result replaces FILE; no renames, no message.
  ConnectionTree other;
  other.insert(other.top(), 0, ConnectionTree::newNode(Node("Other")));
  ASSERT_TRUE(SaveConfiguration(other, dir.scratch("other.VNK")));
  o = vnk({"import", config, dir.scratch("other.VNK")});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(listing(config), "1 Site\n2 Lab/1\n3 Router\n1 ----- separator line -----\n1 Edge\n1 Other\n");
}

TEST_F(VnkFilesTest, ImportOfAnUnreadableSourceWritesNothing) {
  const std::string before = ReadFile(config);
  WriteFile(dir.scratch("notes.txt"), "C1_R1=x\r\n");
  Output o = vnk({"import", config, dir.scratch("notes.txt")});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: Cannot import the file. Unsupported file format.\nNothing was written.\n");
  WriteFile(dir.scratch("bad.vnk"), std::string("VNK20\x05\0\0\0\x01\0\0\0", 13));  // ends inside a record
  o = vnk({"import", config, dir.scratch("bad.vnk")});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: Error reading file. The file contains inconsistent data.\nNothing was written.\n");
  EXPECT_EQ(ReadFile(config), before);
}

TEST_F(VnkFilesTest, ExportAddsMissingParentsAndPrintsThem) {
  const std::string plf = dir.scratch("router.plf");
  Output o = vnk({"export", config, "Site/Lab\\/1/Router", "-o", plf});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "added parent: Site\nadded parent: Site/Lab\\/1\n");
  EXPECT_EQ(listing(plf), "1 Site\n2 Lab/1\n3 Router\n");
  const std::string text = ReadFile(plf);
  EXPECT_NE(text.find("C8_R1=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("C8_R2=2\r\n"), std::string::npos);
  EXPECT_NE(text.find("C8_R3=3\r\nRowCount=3\r\n"), std::string::npos);

  // By index, to .vnk; nothing to add. --subtree takes the descendants along.
  o = vnk({"export", config, "5", "4", "-o", dir.scratch("two.vnk")});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(listing(dir.scratch("two.vnk")), "1 ----- separator line -----\n1 Edge\n");
  o = vnk({"export", config, "Site", "--subtree", "-o", dir.scratch("site.vnk")});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(listing(dir.scratch("site.vnk")), "1 Site\n2 Lab/1\n3 Router\n");

  o = vnk({"export", config, "0", "-o", dir.scratch("none.vnk")});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: nothing to export: the top node is never written\n");
  o = vnk({"export", config, "Nope", "-o", dir.scratch("none.vnk")});
  EXPECT_EQ(o.status, 1);
  o = vnk({"export", config, "Site"});
  EXPECT_EQ(o.status, 2) << "-o is required";
}

}  // namespace
}  // namespace varnok::test
