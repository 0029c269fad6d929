#include "platform/desktop_integration.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/ini_file.h"
#include "platform/desktop_windows.h"
#include "scoped_env.h"
#include "temp_dir.h"

namespace varnok::platform {
namespace {

struct DesktopTest : ::testing::Test {
  test::TempDir home;
  test::ScopedEnv config{"XDG_CONFIG_HOME", home.path() + "/config"};
  test::ScopedEnv data{"XDG_DATA_HOME", home.path() + "/data"};

  std::string entry(const std::string& file, const std::string& key) {
    return IniFile::parse(test::ReadFile(home.path() + file)).get("Desktop Entry", key, "<missing>");
  }
};

// A program folder with a blank, "&", "%", "$" and a backslash in its name.
const std::string kOddDir = "/opt/R&D tools/100%/$x\\y";

TEST_F(DesktopTest, ExecQuotesThePathDoublesPercentAndEscapesPerEntryRules) {
  const std::string editor = kOddDir + "/varnokc";
  ASSERT_EQ(SetVnkAssociation(true, editor, "Varnokc"), "");
  // Quoted as a whole; "%%" for the literal percent (a lone "%" would be a
  // field code); "\\$" for the dollar and four backslashes for one.
  EXPECT_EQ(entry("/data/applications/varnokc.desktop", "Exec"),
            "\"/opt/R&D tools/100%%/\\\\$x\\\\\\\\y/varnokc\" %f");
  EXPECT_TRUE(IsVnkAssociated(editor));
  EXPECT_FALSE(IsVnkAssociated(kOddDir + "/other"));

  const std::string companion = kOddDir + "/varnok";
  ASSERT_EQ(SetRunAtLogOn(true, companion), "");
  EXPECT_EQ(entry("/config/autostart/Varnok.desktop", "Exec"),
            "\"/opt/R&D tools/100%%/\\\\$x\\\\\\\\y/varnok\"");
  EXPECT_TRUE(IsRunAtLogOn(companion));
  EXPECT_FALSE(IsRunAtLogOn("/opt/R&D tools/100%/varnok"));
}

TEST_F(DesktopTest, MimeTypeFileEscapesXmlAndTheEntryNamesAnIcon) {
  ASSERT_EQ(SetVnkAssociation(true, kOddDir + "/varnokc", "R&D <\"Lab\"> 'x'"), "");
  const std::string xml = test::ReadFile(home.path() + "/data/mime/packages/x-varnok.xml");
  EXPECT_NE(xml.find("<comment>R&amp;D &lt;&quot;Lab&quot;&gt; &apos;x&apos; Varnok File</comment>"),
            std::string::npos)
      << xml;
  EXPECT_EQ(xml.find("R&D"), std::string::npos);

  // An icon theme name, or an absolute path of a file that exists; never a
  // Windows resource reference such as "<exe>,0".
  const std::string icon = entry("/data/applications/r&d <\"lab\"> 'x'.desktop", "Icon");
  ASSERT_FALSE(icon.empty());
  EXPECT_EQ(icon.find(','), std::string::npos) << icon;
  if (icon.front() == '/')
    EXPECT_TRUE(std::filesystem::exists(icon)) << icon;
  else
    EXPECT_EQ(icon.find_first_of("/ ."), std::string::npos) << icon;
}

}  // namespace
}  // namespace varnok::platform

// Tiling stacks the windows over the whole work area without gaps or overlaps.
TEST(DesktopWindows, TilesStackOverTheWholeWorkArea) {
  using varnok::platform::TileHorizontally;
  using varnok::platform::WindowRect;
  EXPECT_TRUE(TileHorizontally({0, 0, 800, 600}, 0).empty());
  EXPECT_EQ(TileHorizontally({10, 20, 800, 600}, 1), (std::vector<WindowRect>{{10, 20, 800, 600}}));
  for (int count : {2, 3, 7, 128}) {
    const WindowRect area{0, 24, 1280, 1000};
    const auto rects = TileHorizontally(area, count);
    ASSERT_EQ(rects.size(), static_cast<std::size_t>(count));
    int y = area.y;
    for (const WindowRect& r : rects) {
      EXPECT_EQ(r.x, 0);
      EXPECT_EQ(r.width, 1280);
      EXPECT_EQ(r.y, y);
      EXPECT_GE(r.height, 1000 / count);
      EXPECT_LE(r.height, 1000 / count + 1);
      y += r.height;
    }
    EXPECT_EQ(y, area.y + area.height);
  }
}

// Without a display there is nothing to arrange: no error, no wait.
TEST(DesktopWindows, WithoutADisplayTheCallsDoNothing) {
  varnok::test::ScopedEnv display("DISPLAY", "");
  EXPECT_FALSE(varnok::platform::MinimizeOtherWindows(1));
  EXPECT_EQ(varnok::platform::TileWindowsOfProcesses({1, 2}), 0);
}
