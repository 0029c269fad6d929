#include "properties/macro_templates.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnok::properties {
namespace {

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
    text.replace(pos, from.size(), to);
  return text;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string_view::npos) {
    lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

TEST(MacroTemplates, MenuItems) {
  std::vector<std::string> captions;
  std::vector<int> separators_after;
  int tag = 0;
  for (const auto& t : MacroTemplates()) {
    EXPECT_EQ(t.tag, ++tag);
    EXPECT_EQ(MacroTemplateText(t.tag), t.text);
    captions.emplace_back(t.caption);
    if (t.separator_after) separators_after.push_back(t.tag);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{
                          "Telnet session", "SSH1 session", "SSH1 session with credentials",
                          "SSH1 session with public key", "SSH2 session", "SSH2 session with credentials",
                          "SSH2 session with public key", "Serial connection"}));
  EXPECT_EQ(separators_after, (std::vector<int>{1, 4, 7}));
  EXPECT_TRUE(MacroTemplateText(0).empty());
  EXPECT_TRUE(MacroTemplateText(9).empty());
}

TEST(MacroTemplates, LineBreaksAndEndings) {
  for (const auto& t : MacroTemplates()) {
    std::string without_crlf = ReplaceAll(std::string(t.text), "\r\n", "");
    EXPECT_EQ(without_crlf.find_first_of("\r\n"), std::string::npos) << "lone CR or LF in " << t.tag;
    // The first line names the template's own caption.
    EXPECT_EQ(Lines(t.text).front(),
              "; ******* Varnok Macro Template for " + std::string(t.caption) + " *******");
    if (t.tag == 1) {
      EXPECT_TRUE(t.text.ends_with(";\r\n"));
    } else {
      EXPECT_TRUE(t.text.ends_with("\r\n;")) << t.tag;
    }
    for (const auto& line : Lines(t.text)) EXPECT_FALSE(line.ends_with(" ")) << t.tag << ": " << line;
  }
}

TEST(MacroTemplates, SshTwoTemplatesFollowTheirSshOneTemplates) {
  for (int tag = 2; tag <= 4; ++tag) {
    std::string derived =
        ReplaceAll(ReplaceAll(std::string(MacroTemplateText(tag)), "SSH1", "SSH2"), " /1", " /2");
    EXPECT_EQ(MacroTemplateText(tag + 3), derived) << tag + 3;
    EXPECT_NE(MacroTemplateText(tag + 3), MacroTemplateText(tag));
  }
}

TEST(MacroTemplates, SelectedLines) {
  auto telnet = Lines(MacroTemplateText(1));
  EXPECT_EQ(telnet.size(), 36u);  // 35 lines and the empty text after the final break
  EXPECT_EQ(telnet[5], "connect '<server_name_or_IP_address>:23 /nossh'");
  EXPECT_EQ(telnet[13], "; settitle 'Connecting $connection$'");
  EXPECT_EQ(telnet[27], "passwordbox 'Enter password' 'Login'");
  auto ssh1 = Lines(MacroTemplateText(2));
  EXPECT_EQ(ssh1.size(), 14u);
  EXPECT_EQ(ssh1[8], "; Entering synchronous communication mode(useful in most cases)");
  auto credentials = Lines(MacroTemplateText(6));
  EXPECT_EQ(credentials.size(), 27u);
  EXPECT_EQ(credentials[11], "_constr='<server_name_or_IP_address> /ssh /2 /auth=password /user='");
  EXPECT_EQ(credentials[15], "; Openning SSH2 conection");
  auto key = Lines(MacroTemplateText(4));
  EXPECT_EQ(key.size(), 29u);
  EXPECT_EQ(
      key[21],
      "; connect '<server_name_or_IP_address> /ssh /1 /auth=keyfile /user=<username> /passwd=<password> "
      "/keyfile=<private-key-file>'");
  auto serial = Lines(MacroTemplateText(8));
  EXPECT_EQ(serial.size(), 16u);
  EXPECT_EQ(serial[6], "connect '/C=<port_number>'");
  EXPECT_EQ(serial[11], "; ATDT<phone number>");
}

TEST(MacroTemplateInsertion, IntoAnEmptyEditor) {
  EXPECT_EQ(InsertMacroTemplate("", 0, 0, true, MacroTemplateText(8)),
            std::string(MacroTemplateText(8)) + "\r\n");
  std::string telnet = InsertMacroTemplate("", 0, 0, true, MacroTemplateText(1));
  EXPECT_TRUE(telnet.ends_with(";\r\n\r\n"));
  EXPECT_EQ(telnet.size(), MacroTemplateText(1).size() + 2);
}

TEST(MacroTemplateInsertion, InsideALineSplitsIt) {
  EXPECT_EQ(InsertMacroTemplate("wait 'x'\r\nsend", 4, 0, false, "T"), "wait\r\nT\r\n 'x'\r\nsend");
  // At the start of a line the line stays below the template.
  EXPECT_EQ(InsertMacroTemplate("a\r\nb", 3, 0, true, "T"), "a\r\nT\r\nb");
}

TEST(MacroTemplateInsertion, ReplacesTheSelection) {
  EXPECT_EQ(InsertMacroTemplate("keep DROP keep", 5, 4, false, "T"), "keep \r\nT\r\n keep");
  EXPECT_EQ(InsertMacroTemplate("DROP", 0, 4, true, "T"), "T\r\n");
  // A selection reaching beyond the text ends with the text.
  EXPECT_EQ(InsertMacroTemplate("abc", 1, 99, false, "T"), "a\r\nT\r\n");
  EXPECT_EQ(InsertMacroTemplate("abc", 99, 1, false, "T"), "abc\r\nT\r\n");
}

}  // namespace
}  // namespace varnok::properties
