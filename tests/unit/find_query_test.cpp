#include "model/find_query.h"

#include <gtest/gtest.h>

#include "model/connect_lines.h"
#include "model/find_text.h"

namespace varnok {
namespace {

FindTerm Term(FindField field, std::string text, bool exclude = false) {
  return FindTerm{field, std::move(text), exclude};
}

TEST(FindQuery, WordsFieldsPhrasesAndExclusions) {
  const FindQuery q =
      ParseFindQuery("  Lab  HOST:Core-1 user:ops macro:logopen popup:\"Rack 4\" -old -host:x ");
  const std::vector<FindTerm> expected{
      Term(FindField::Path, "lab"),      Term(FindField::Host, "core-1"),  Term(FindField::User, "ops"),
      Term(FindField::Macro, "logopen"), Term(FindField::Popup, "rack 4"), Term(FindField::Path, "old", true),
      Term(FindField::Host, "x", true),
  };
  EXPECT_EQ(q.terms, expected);
  EXPECT_TRUE(q.uses(FindField::Popup));
}

TEST(FindQuery, OddInputIsTakenAsTyped) {
  // A phrase with an escaped quote, running to the end when unclosed.
  EXPECT_EQ(ParseFindQuery("\"say \\\"hi\\\" now\"").terms,
            std::vector{Term(FindField::Path, "say \"hi\" now")});
  EXPECT_EQ(ParseFindQuery("\"a b").terms, std::vector{Term(FindField::Path, "a b")});
  // Unknown prefixes, a prefix with nothing after it, a lone "-", a quote inside a word.
  EXPECT_EQ(ParseFindQuery("site:x host: - a\"b").terms,
            (std::vector{Term(FindField::Path, "site:x"), Term(FindField::Path, "host:"),
                         Term(FindField::Path, "-"), Term(FindField::Path, "a\"b")}));
  // Nothing to look for.
  EXPECT_TRUE(ParseFindQuery("   \"\"  ").empty());
  // Non-ASCII capitals are folded; words past the limit are dropped.
  EXPECT_EQ(ParseFindQuery("ÄRGER Жук").terms,
            (std::vector{Term(FindField::Path, "ärger"), Term(FindField::Path, "жук")}));
  std::string many;
  for (int i = 0; i < 40; ++i) many += "w" + std::to_string(i) + " ";
  EXPECT_EQ(ParseFindQuery(many).terms.size(), FindQuery::kMaxTerms);
}

TEST(FindText, FoldingKeepsLengthAndRangesMerge) {
  const std::string text = "ÀÉÎ Straße ĀĹŸ ΣΑΣ ЁЖ ÿ\xC3";  // a cut-off sequence at the end stays
  const std::string folded = Folded(text);
  EXPECT_EQ(folded.size(), text.size());
  EXPECT_EQ(folded, "àéî straße āĺŸ σασ ёж ÿ\xC3");
  EXPECT_EQ(Folded("\xC0\xC1 AB"), "\xC0\xC1 ab");  // 8-bit text that is not UTF-8
  EXPECT_EQ(FindAll("abababa", "aba"), (std::vector<TextRange>{{0, 3}, {4, 3}}));
  EXPECT_EQ(MergeRanges({{5, 2}, {0, 3}, {3, 1}, {6, 4}}), (std::vector<TextRange>{{0, 4}, {5, 5}}));
}

struct Targets {
  std::string hosts, users;
};
Targets Read(const std::string& macro) {
  Targets t;
  ReadConnectTargets(macro, t.hosts, t.users);
  return t;
}

TEST(ConnectLines, TemplateForms) {
  // Telnet: the host without its port; the user sent after the login prompt.
  Targets t = Read(
      "; Openning telnet\r\nconnect 'core-sw1:23 /nossh'\r\nsetsync 1\r\nwait 'ogin:'\r\n"
      "sendln 'admin'\r\nwait 'assword:'\r\nsendln 'secret'\r\n");
  EXPECT_EQ(t.hosts, "core-sw1\n");
  EXPECT_EQ(t.users, "admin\n");
  // SSH with credentials, through a variable; the commented-out line does not count.
  t = Read(
      "_constr='10.1.2.3 /ssh /2 /auth=password /user='\r\nstrconcat _constr _user\r\nconnect _constr\r\n"
      "; connect 'other /ssh /2 /auth=password /user=<username> /passwd=<password>'\r\n");
  EXPECT_EQ(t.hosts, "10.1.2.3\n");
  EXPECT_EQ(t.users, "");
  t = Read("CONNECT \"[fe80::1]:2222 /ssh /2 /user=ops\"\nconnect 'fe80::2 /ssh'\nconnect '/C=3'\n");
  EXPECT_EQ(t.hosts, "fe80::1\nfe80::2\nCOM3\n");
  EXPECT_EQ(t.users, "ops\n");
}

TEST(ConnectLines, CommandsTypedOnAJumpHost) {
  Targets t = Read(
      "sendln 'ssh -p 2222 -i key netops@rtr1.lab:22'\r\nSEND \"ssh -l backup sw2\"\r\n"
      "sendln 'telnet 10.0.0.9 23'\r\nsendln 'show version'\r\nsendln 'sshd'\r\n");
  EXPECT_EQ(t.hosts, "rtr1.lab\nsw2\n10.0.0.9\n");
  EXPECT_EQ(t.users, "netops\nbackup\n");
  // A send with no literal, a connect with an unknown variable, a bare line.
  t = Read("sendln inputstr\nconnect _nothing\nconnect\n=\n'\n");
  EXPECT_EQ(t.hosts, "");
  EXPECT_EQ(t.users, "");
}

}  // namespace
}  // namespace varnok
