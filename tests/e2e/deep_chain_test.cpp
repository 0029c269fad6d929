// The built programs on one chain of connections 100,000 levels deep: vnk
// lists, converts and assembles the deepest branch within a bounded address
// space, and the editor (with the companion it starts) opens the file
// focused on the deepest connection, keeps it there and closes cleanly.
#include <gtest/gtest.h>

#include <filesystem>

#include "capture.h"
#include "common/stored_text.h"
#include "files/vnk_file.h"
#include "platform/posix/settings_file.h"
#include "program_dir.h"
#include "tree_helpers.h"

namespace varnok::test {
namespace {

constexpr int kDepth = 100'000;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer's shadow memory needs terabytes of address space
#else
constexpr bool kSanitized = false;
#endif

class DeepChainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ConnectionTree tree;
    AppendChain(tree, kDepth);
    ASSERT_TRUE(SaveConfiguration(tree, config));
    input = std::filesystem::file_size(config);
  }

  ProgramDir dir;
  std::string config = dir.scratch("chain.vnk");
  std::size_t input = 0;
};

TEST_F(DeepChainTest, VnkReadsWritesAndAssemblesTheDeepestBranchWithinFourTimesTheInputPlus100MB) {
  CaptureOptions bound;
  bound.addressSpaceBytes = kSanitized ? 0 : 4 * input + (100u << 20);
  Output o = Capture(dir, dir.file("vnk"), {"list", config}, bound);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(o.out.ends_with("(level " + std::to_string(kDepth) + ") n" + std::to_string(kDepth) + "\n"));

  o = Capture(dir, dir.file("vnk"), {"convert", config, dir.scratch("copy.vnk")}, bound);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(ReadFile(dir.scratch("copy.vnk")), ReadFile(config));
  o = Capture(dir, dir.file("vnk"), {"convert", config, dir.scratch("copy.plf")}, bound);
  ASSERT_EQ(o.status, 0) << o.err;
  o = Capture(dir, dir.file("vnk"), {"convert", dir.scratch("copy.plf"), dir.scratch("back.vnk")}, bound);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(ReadFile(dir.scratch("back.vnk")), ReadFile(config));

  const std::string deepest = std::to_string(kDepth);
  o = Capture(dir, dir.file("vnk"), {"macro", config, deepest, "--branch", "-o", dir.scratch("m.cvl")},
              bound);
  ASSERT_EQ(o.status, 0) << o.err;
  const std::string macro = ReadFile(dir.scratch("m.cvl"));
  EXPECT_TRUE(macro.starts_with("sendln 1\r\nsendln 2\r\n"));
  EXPECT_TRUE(macro.ends_with("sendln " + deepest + "\r\n"));
  EXPECT_EQ(std::count(macro.begin(), macro.end(), '\n'), kDepth);
}

TEST_F(DeepChainTest, EditorStartsFocusedOnTheDeepestConnectionAndClosesCleanly) {
  platform::OpenSettingsFile(dir.settingsFile())
      ->write({{"LastVNKFile", config}, {"SelectedNodeIndex", std::int32_t{kDepth}}});
  const std::string before = ReadFile(config);
  pid_t editor = dir.start(dir.file("varnokc"));
  ASSERT_TRUE(dir.waitUntilListening(editor));
  EXPECT_EQ(dir.run(dir.file("varnok"), {"--stop-editor"}), 0);
  EXPECT_EQ(dir.wait(editor, std::chrono::seconds(30)), 0);
  EXPECT_TRUE(dir.prompts().empty());
  // The focus it closed with is the deepest connection, and the file is untouched.
  auto settings = platform::OpenSettingsFile(dir.settingsFile());
  EXPECT_EQ(settings->readInt("SelectedNodeIndex", 0), kDepth);
  EXPECT_EQ(ReadFile(config), before);
}

}  // namespace
}  // namespace varnok::test
