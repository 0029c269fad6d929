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
    TreeNode* site = tree.Insert(tree.Top(), 0, ConnectionTree::NewNode(Node("Site", "ssh $CONNECTION$")));
    TreeNode* lab = tree.Insert(site, 0, ConnectionTree::NewNode(Node("Lab/1")));
    tree.Insert(lab, 0, ConnectionTree::NewNode(Node("Router", std::string(3000, 'x') + "\r\n;done")));
    rVTNodeData sep;
    sep.Name = std::string(kSeparatorName);
    tree.Insert(tree.Top(), 1, ConnectionTree::NewNode(sep));
    tree.Insert(tree.Top(), 2, ConnectionTree::NewNode(Node("Edge")));
    ASSERT_TRUE(SaveConfiguration(tree, config));
  }

  Output Vnk(const std::vector<std::string>& args) { return Capture(dir, dir.file("vnk"), args); }

  std::string Listing(const std::string& path) {
    ConnectionTree t;
    LoadResult r =
        path.ends_with(".plf") ? LoadPlfFile(t, path, dir.path()) : LoadConfiguration(t, path, false);
    EXPECT_TRUE(r.ok()) << r.message;
    std::string out;
    for (const TreeNode* n = ConnectionTree::Next(t.Top()); n; n = ConnectionTree::Next(n))
      out += std::to_string(n->data().Level) + " " + n->name() + "\n";
    return out;
  }

  ProgramDir dir{{"vnk"}};
  ConnectionTree tree;
  std::string config = dir.scratch("net work.vnk");
};

TEST_F(VnkFilesTest, ConvertToTextAndBackKeepsTheTree) {
  const std::string plf = dir.scratch("net.PLF"), back = dir.scratch("back.vnk");
  Output o = Vnk({"convert", config, plf});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "5 nodes written to " + plf + "\n");
  const std::string text = ReadFile(plf);
  EXPECT_EQ(text.rfind("              Varnokc Ver.", 0), 0u);
  EXPECT_NE(text.find("\r\nFile   : net.PLF\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nRowCount=5\r\n"), std::string::npos);

  o = Vnk({"convert", plf, back});
  ASSERT_EQ(o.status, 0) << o.err;
  // NodeType is not carried by the text format; everything else is byte for byte.
  ConnectionTree expected;
  ASSERT_TRUE(LoadConfiguration(expected, config, false).ok());
  for (TreeNode* n = ConnectionTree::Next(expected.Top()); n; n = ConnectionTree::Next(n))
    expected.Edit(n, [](rVTNodeData& d) { d.NodeType = 0; });
  EXPECT_EQ(ReadFile(back), WriteConfiguration(expected));

  o = Vnk({"convert", dir.scratch("missing.plf"), back});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: File '" + dir.scratch("missing.plf") + "' not found\n");
  o = Vnk({"convert", config});
  EXPECT_EQ(o.status, 2) << "usage error";
}

TEST_F(VnkFilesTest, ImportRenamesCollisionsAndWritesTheResult) {
  ConnectionTree source;
  source.Insert(source.Top(), 0, ConnectionTree::NewNode(Node("Edge", "telnet $CONNECTION$")));
  source.Insert(source.Top(), 1, ConnectionTree::NewNode(Node("Site")));
  source.Insert(source.Top(), 2, ConnectionTree::NewNode(Node("Fresh")));
  const std::string plf = dir.scratch("in.plf"), out = dir.scratch("out.vnk");
  ASSERT_TRUE(SavePlfFile(source, plf));
  const std::string before = ReadFile(config);

  Output o = Vnk({"import", config, plf, "-o", out});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "2 imported items were renamed to avoid duplicate names among siblings.\n");
  EXPECT_EQ(ReadFile(config), before) << "-o leaves FILE alone";
  EXPECT_EQ(
      Listing(out),
      "1 Site\n2 Lab/1\n3 Router\n1 ----- separator line -----\n1 Edge\n1 Copy of Edge\n1 Copy of Site\n"
      "1 Fresh\n");

  // Without -o the result replaces FILE; no renames, no message.
  ConnectionTree other;
  other.Insert(other.Top(), 0, ConnectionTree::NewNode(Node("Other")));
  ASSERT_TRUE(SaveConfiguration(other, dir.scratch("other.VNK")));
  o = Vnk({"import", config, dir.scratch("other.VNK")});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(Listing(config), "1 Site\n2 Lab/1\n3 Router\n1 ----- separator line -----\n1 Edge\n1 Other\n");
}

TEST_F(VnkFilesTest, ImportOfAnUnreadableSourceWritesNothing) {
  const std::string before = ReadFile(config);
  WriteFile(dir.scratch("notes.txt"), "C1_R1=x\r\n");
  Output o = Vnk({"import", config, dir.scratch("notes.txt")});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: Cannot import the file. Unsupported file format.\nNothing was written.\n");
  WriteFile(dir.scratch("bad.vnk"), std::string("VNK20\x05\0\0\0\x01\0\0\0", 13));  // ends inside a record
  o = Vnk({"import", config, dir.scratch("bad.vnk")});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: Error reading file. The file contains inconsistent data.\nNothing was written.\n");
  EXPECT_EQ(ReadFile(config), before);
}

TEST_F(VnkFilesTest, ExportAddsMissingParentsAndPrintsThem) {
  const std::string plf = dir.scratch("router.plf");
  Output o = Vnk({"export", config, "Site/Lab\\/1/Router", "-o", plf});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "added parent: Site\nadded parent: Site/Lab\\/1\n");
  EXPECT_EQ(Listing(plf), "1 Site\n2 Lab/1\n3 Router\n");
  const std::string text = ReadFile(plf);
  EXPECT_NE(text.find("C8_R1=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("C8_R2=2\r\n"), std::string::npos);
  EXPECT_NE(text.find("C8_R3=3\r\nRowCount=3\r\n"), std::string::npos);

  // By index, to .vnk; nothing to add. --subtree takes the descendants along.
  o = Vnk({"export", config, "5", "4", "-o", dir.scratch("two.vnk")});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(Listing(dir.scratch("two.vnk")), "1 ----- separator line -----\n1 Edge\n");
  o = Vnk({"export", config, "Site", "--subtree", "-o", dir.scratch("site.vnk")});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(Listing(dir.scratch("site.vnk")), "1 Site\n2 Lab/1\n3 Router\n");

  o = Vnk({"export", config, "0", "-o", dir.scratch("none.vnk")});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "vnk: nothing to export: the top node is never written\n");
  o = Vnk({"export", config, "Nope", "-o", dir.scratch("none.vnk")});
  EXPECT_EQ(o.status, 1);
  o = Vnk({"export", config, "Site"});
  EXPECT_EQ(o.status, 2) << "-o is required";
}

}  // namespace
}  // namespace varnok::test
