#include "common/stored_text.h"

#include <gtest/gtest.h>

#include <random>

#include "common/trim_text.h"

namespace varnok {
namespace {

TEST(StoredText, EncodesAsStored) {
  EXPECT_EQ(EncodeText("ls -l"), "ls+%2Dl");
  EXPECT_EQ(EncodeText("a b;c"), "a+b%3Bc");
  EXPECT_EQ(EncodeText("x\r\ny"), "x%0D%0Ay");
  EXPECT_EQ(EncodeText(std::string("\0\xff", 2)), "%00%FF");
  EXPECT_EQ(EncodeText(""), "");
}

TEST(StoredText, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  std::string stored = EncodeText(all);
  for (char c : stored)
    EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '%') << int(c);
  EXPECT_EQ(DecodeText(stored), all);

  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    std::string s(rng() % 40, '\0');
    for (char& c : s) c = static_cast<char>(rng() & 0xFF);
    ASSERT_EQ(DecodeText(EncodeText(s)), s);
  }
}

TEST(StoredText, DecodesWhatOthersMayHaveWritten) {
  EXPECT_EQ(DecodeText("%3b%3B"), ";;");
  EXPECT_EQ(DecodeText("%4H"), std::string(1, '\x04'));  // trailing H dropped
  EXPECT_EQ(DecodeText("%ZZx"), std::string("\0x", 2));  // not hexadecimal: 0
  EXPECT_EQ(DecodeText("a+b"), "a b");
  EXPECT_EQ(DecodeText("a-b.c"), "a-b.c");
}

TEST(StoredText, CutOffPercentNeverReadsPastTheEnd) {
  // The views end before the "41" in memory: a decoder reading past the end would see it.
  std::string backing = "ab%41";
  EXPECT_EQ(DecodeText(std::string_view(backing).substr(0, 3)), "ab%");
  EXPECT_EQ(DecodeText(std::string_view(backing).substr(0, 4)), "ab%4");
  EXPECT_EQ(DecodeText("%"), "%");
  EXPECT_EQ(DecodeText("x%+"), "x%+");
}

TEST(TrimText, RemovesBlanksAndControlsButKeepsHighBytes) {
  EXPECT_EQ(TrimText(" \t\r\n a b \r\n"), "a b");
  EXPECT_EQ(TrimText("\xa0x\xa0"), "\xa0x\xa0");
  EXPECT_EQ(TrimText("   "), "");
  EXPECT_EQ(EncodeText(TrimText("   ")), "");
}

}  // namespace
}  // namespace varnok
