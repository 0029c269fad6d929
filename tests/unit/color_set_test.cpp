#include "properties/color_set.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace varnok::properties {
namespace {

ColorSet Filled(std::uint8_t v) {
  ColorSet s;
  s.values.fill(v);
  return s;
}

TEST(ColorString, SchemasParseAndFormatBackUnchanged) {
  for (const ColorSchema& schema : ColorSchemas) {
    ColorSet set;
    ASSERT_TRUE(ParseColorString(schema.colors, set)) << schema.caption;
    EXPECT_EQ(FormatColorString(set), schema.colors);
  }
  ColorSet set;
  ParseColorString(ColorSchemas[3].colors, set);
  EXPECT_EQ(set.values[ColorSet::index(ColorAttribute::Bold, ColorPart::Text, 0)], 255);
  EXPECT_EQ(set.screenColor(ColorAttribute::Normal, ColorPart::Background), 0u + 128u * 256 + 128u * 65536);
  EXPECT_STREQ(ColorSchemas[6].caption, "White on Black");
}

TEST(ColorString, ShortTextIsInvalidAndChangesNothing) {
  ColorSet set = Filled(7);
  EXPECT_FALSE(ParseColorString("1:2:3:4:5:6:7:8:9:1:2:3:4:5:6:7:89", set));  // 34 characters
  EXPECT_EQ(set, Filled(7));
  EXPECT_TRUE(ParseColorString("1:2:3:4:5:6:7:8:9:1:2:3:4:5:6:7:8:9", set));  // 35 characters
  EXPECT_EQ(FormatColorString(set), "1:2:3:4:5:6:7:8:9:1:2:3:4:5:6:7:8:9");
}

TEST(ColorString, ValuesAreTakenModulo256) {
  ColorSet set;
  ASSERT_TRUE(ParseColorString("256:-1:511:0:0:0:0:0:0:0:0:0:0:0:0:0:0:-256", set));
  EXPECT_EQ(set.values[0], 0);
  EXPECT_EQ(set.values[1], 255);
  EXPECT_EQ(set.values[2], 255);
  EXPECT_EQ(set.values[17], 0);
}

TEST(ColorString, FailedPositionsKeepTheirValueOthersAreLoaded) {
  ColorSet set = Filled(9);
  EXPECT_FALSE(ParseColorString("1:x:3:4:5:6:7:8:9:10:11:12:13:14:15:16:17:", set));
  EXPECT_EQ(set.values[0], 1);
  EXPECT_EQ(set.values[1], 9);  // "x"
  EXPECT_EQ(set.values[16], 17);
  EXPECT_EQ(set.values[17], 9);  // empty
  // Too few values: the missing positions fail; too many: the 18th holds ":".
  set = Filled(9);
  EXPECT_FALSE(ParseColorString("100:100:100:100:100:100:100:100:100", set));
  EXPECT_EQ(set.values[8], 9);
  EXPECT_EQ(set.values[17], 100);  // the text after the last ":" is the 18th value
  set = Filled(9);
  EXPECT_FALSE(ParseColorString("0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0", set));
  EXPECT_EQ(set.values[17], 9);
  EXPECT_EQ(set.values[16], 0);
}

class DefaultColors : public ::testing::Test {
 protected:
  void writeIni(const std::string& text) { test::WriteFile(dir.file("corvane.ini"), text); }
  test::TempDir dir;
};

TEST_F(DefaultColors, EighteenValuesFromTheThreeEmulatorKeys) {
  writeIni(
      "[Other]\r\nVTColor=9,9,9,9,9,9\r\n[corvane]\r\nvtcolor=1,2,3,4,5,6\r\n"
      "VTBoldColor=7,8,9,10,11,12\r\nVTBlinkColor=13,14,15,16,17,18\r\n");
  EXPECT_EQ(DefaultColorString(dir.path()), "1:2:3:4:5:6:7:8:9:10:11:12:13:14:15:16:17:18");
  // Read anew on every call.
  writeIni("[Corvane]\nVTColor=0,0,0,0,0,0\nVTBoldColor=0,0,0,0,0,0\nVTBlinkColor=1,1,1,1,1,1\n");
  EXPECT_EQ(DefaultColorString(dir.path()), "0:0:0:0:0:0:0:0:0:0:0:0:1:1:1:1:1:1");
}

TEST_F(DefaultColors, SchemaZeroWhenTheKeysDoNotAddUp) {
  const std::string schema0 = ColorSchemas[0].colors;
  EXPECT_EQ(DefaultColorString(dir.path()), schema0);                        // no file
  writeIni("[Corvane]\nVTColor=1,2,3,4,5,6\nVTBoldColor=7,8,9,10,11,12\n");  // missing key
  EXPECT_EQ(DefaultColorString(dir.path()), schema0);
  writeIni("[Corvane]\nVTColor=1,2,3,4,5,6,7\nVTBoldColor=7,8,9,10,11,12\nVTBlinkColor=1,2,3,4,5,6\n");
  EXPECT_EQ(DefaultColorString(dir.path()), schema0);
  // 18 values of which one does not convert.
  writeIni("[Corvane]\nVTColor=1,2,3,4,5,red\nVTBoldColor=7,8,9,10,11,12\nVTBlinkColor=1,2,3,4,5,6\n");
  EXPECT_EQ(DefaultColorString(dir.path()), schema0);
}

TEST_F(DefaultColors, InvalidStoredStringGivesTheDefaultSet) {
  writeIni("[Corvane]\nVTColor=1,2,3,4,5,6\nVTBoldColor=7,8,9,10,11,12\nVTBlinkColor=13,14,15,16,17,18\n");
  EXPECT_EQ(FormatColorString(ColorSetOrDefault("", dir.path())),
            "1:2:3:4:5:6:7:8:9:10:11:12:13:14:15:16:17:18");
  EXPECT_EQ(FormatColorString(ColorSetOrDefault("1:2:3:4:5:6:7:8:9:1:2:3:4:5:6:7:8:x", dir.path())),
            "1:2:3:4:5:6:7:8:9:10:11:12:13:14:15:16:17:18");
  EXPECT_EQ(FormatColorString(ColorSetOrDefault(ColorSchemas[4].colors, dir.path())), ColorSchemas[4].colors);

  EditorColorPair fromDefault = EditorColors("bad", dir.path());
  EXPECT_EQ(fromDefault.text, 1u + 2u * 256 + 3u * 65536);
  EXPECT_EQ(fromDefault.background, 4u + 5u * 256 + 6u * 65536);
  EditorColorPair green = EditorColors(ColorSchemas[4].colors, dir.path());
  EXPECT_EQ(green.text, 255u * 256);
  EXPECT_EQ(green.background, 0u);
}

}  // namespace
}  // namespace varnok::properties
