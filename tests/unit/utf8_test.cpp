#include "common/utf8.h"

#include <gtest/gtest.h>

namespace varnok {
namespace {

TEST(Utf8Lenient, KeepsValidSequencesAndMapsOtherBytesToTheirCodePoint) {
  EXPECT_EQ(ToUtf8Lenient("plain ascii"), "plain ascii");
  EXPECT_EQ(ToUtf8Lenient("Gr\xC3\xBC\xC3\x9F"
                          "e"),
            "Gr\xC3\xBC\xC3\x9F"
            "e");                                          // already UTF-8
  EXPECT_EQ(ToUtf8Lenient("M\xFCller"), "M\xC3\xBCller");  // Latin-1 u-umlaut
  EXPECT_EQ(ToUtf8Lenient(std::string("\x00\x80", 2)), std::string("\x00\xC2\x80", 3));
  // A lead byte without its continuation, an overlong form and a surrogate.
  EXPECT_EQ(ToUtf8Lenient("\xC3"), "\xC3\x83");
  EXPECT_EQ(ToUtf8Lenient("\xC0\xAF"), "\xC3\x80\xC2\xAF");
  EXPECT_EQ(ToUtf8Lenient("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");
}

}  // namespace
}  // namespace varnok
