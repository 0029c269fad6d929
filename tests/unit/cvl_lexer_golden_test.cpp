// Golden-file tests of the lexer: each tests/golden/lexer/NAME.cvl is lexed
// line by line and its token dump compared with NAME.tokens. On a mismatch the
// new dump is written to NAME.tokens.new beside it for review; to accept it,
// rename it over NAME.tokens.
#include <gtest/gtest.h>

#include <filesystem>

#include "cvl/token_dump.h"
#include "temp_dir.h"

namespace varnok::cvl {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(VARNOK_SOURCE_DIR) / "tests" / "golden" / "lexer";

TEST(CvlLexerGolden, EveryInputMatchesItsTokenDump) {
  int inputs = 0;
  for (const auto& entry : fs::directory_iterator(kGoldenDir)) {
    if (entry.path().extension() != ".cvl") continue;
    ++inputs;
    fs::path golden = entry.path();
    golden.replace_extension(".tokens");
    fs::path fresh = golden;
    fresh += ".new";
    std::string dump = DumpTokens(test::ReadFile(entry.path().string()));
    std::string expected = fs::exists(golden) ? test::ReadFile(golden.string()) : "";
    if (dump == expected) {
      fs::remove(fresh);
      continue;
    }
    test::WriteFile(fresh.string(), dump);
    ADD_FAILURE() << golden.filename() << " differs; the new dump is in " << fresh;
  }
  EXPECT_GE(inputs, 3);
}

TEST(CvlLexerGolden, LinesSplitAtEveryKindOfLineEnd) {
  auto lines = SplitEditorLines("a\r\nb\nc\rd\r\r\ne");
  EXPECT_EQ(lines, (std::vector<std::string_view>{"a", "b", "c", "d", "", "e"}));
  EXPECT_EQ(SplitEditorLines("x\r\n"), (std::vector<std::string_view>{"x", ""}));
  EXPECT_EQ(SplitEditorLines(""), (std::vector<std::string_view>{""}));
  EXPECT_EQ(DumpTokens("a\r\n\r\n;c"), "1:0:1:Identifier\n3:0:2:Comment\n");
}

}  // namespace
}  // namespace varnok::cvl
