#include "properties/schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <vector>

namespace varnok::properties {
namespace {

struct Verified {
  std::string text;
  int corrections;
};

Verified Verify(ScheduleField field, std::string_view text) {
  int corrections = 0;
  std::string result = VerifyScheduleField(field, text, corrections);
  return {result, corrections};
}

void ExpectVerified(ScheduleField field, std::string_view input, std::string_view expected, int corrections) {
  Verified v = Verify(field, input);
  EXPECT_EQ(v.text, expected) << "input: " << input;
  EXPECT_EQ(v.corrections, corrections) << "input: " << input;
}

TEST(ScheduleField, SortsMovesIntoRangeAndRemovesRepeats) {
  ExpectVerified(ScheduleField::Minute, "30,5,5,70", "5,30,59", 2);
  ExpectVerified(ScheduleField::Hour, "23,24", "23", 2);
  ExpectVerified(ScheduleField::Weekday, "0,8", "1,7", 2);
  ExpectVerified(ScheduleField::Day, "31,1,15", "1,15,31", 0);
  ExpectVerified(ScheduleField::Month, "12,0,13,1", "1,12", 4);
}

TEST(ScheduleField, NonNumbersBecomeTheMaximum) {
  ExpectVerified(ScheduleField::Minute, "1,,2", "1,2,59", 2);
  ExpectVerified(ScheduleField::Minute, "", "59", 2);
  ExpectVerified(ScheduleField::Minute, ",", "59", 5);  // two empty pieces, the second a repeat
  ExpectVerified(ScheduleField::Hour, "3,", "3,23", 2);
  ExpectVerified(ScheduleField::Hour, "x", "23", 2);
  ExpectVerified(ScheduleField::Hour, "23,x", "23", 3);
  ExpectVerified(ScheduleField::Month, " 5", "12", 2);  // blanks are not part of a number
  ExpectVerified(ScheduleField::Month, "5 ", "12", 2);
  ExpectVerified(ScheduleField::Month, "+", "12", 2);
  ExpectVerified(ScheduleField::Month, "1.5", "12", 2);
  ExpectVerified(ScheduleField::Month, "0x5", "12", 2);
}

TEST(ScheduleField, SignedAndHugeNumbersAreNumbers) {
  ExpectVerified(ScheduleField::Minute, "+5,-0", "0,5", 0);
  ExpectVerified(ScheduleField::Minute, "-3", "0", 1);
  ExpectVerified(ScheduleField::Day, "-2147483648", "1", 1);
  ExpectVerified(ScheduleField::Day, "99999999999999999999999999", "31", 1);
  ExpectVerified(ScheduleField::Day, "-99999999999999999999999999", "1", 1);
  ExpectVerified(ScheduleField::Weekday, "0000000000000000000000000003", "3", 0);
}

TEST(ScheduleField, AStarAnywhereMeansAllValues) {
  ExpectVerified(ScheduleField::Month, "1,*", "*", 0);
  ExpectVerified(ScheduleField::Month, "abc*,,", "*", 0);
  ExpectVerified(ScheduleField::Weekday, "*", "*", 0);
}

TEST(ScheduleField, CorrectionsAddToTheCounter) {
  int corrections = 5;
  EXPECT_EQ(VerifyScheduleField(ScheduleField::Hour, "24", corrections), "23");
  EXPECT_EQ(corrections, 6);
}

TEST(ScheduleField, TableAndNames) {
  const auto& infos = ScheduleFieldInfos();
  std::vector<std::string> labels;
  for (const auto& info : infos) labels.emplace_back(info.label);
  EXPECT_EQ(labels,
            (std::vector<std::string>{"Minute (0..59) :", "Hour (0..23) :", "Day on the month (1..31) :",
                                      "Month (1..12) :", "Day of the week (1..7) :"}));
  ScheduleField f{};
  ASSERT_TRUE(ScheduleFieldByName("weekday", f));
  EXPECT_EQ(f, ScheduleField::Weekday);
  EXPECT_EQ(FieldInfo(f).min, 1);
  EXPECT_EQ(FieldInfo(f).max, 7);
  EXPECT_EQ(FieldInfo(ScheduleField::Minute).control, "Edit4");
  EXPECT_FALSE(ScheduleFieldByName("second", f));
}

TEST(ScheduleFields, VerificationMessages) {
  ScheduleFields all_star = {"*", "*", "*", "*", "*"};
  EXPECT_EQ(VerificationMessage(VerifyScheduleFields(all_star)), "All fields are entered correctly.");
  ScheduleFields fields = {"30,5,5,70", "8", "1", "1", "8"};
  int n = VerifyScheduleFields(fields);
  EXPECT_EQ(fields, (ScheduleFields{"5,30,59", "8", "1", "1", "7"}));
  EXPECT_EQ(n, 3);
  EXPECT_EQ(VerificationMessage(n), "3 invalid entries corrected.");
  EXPECT_EQ(VerificationMessage(1), "1 invalid entry corrected.");
  EXPECT_EQ(VerificationMessage(2), "2 invalid entries corrected.");
}

TEST(ScheduleFields, CommitStoresVerifiedFieldsOrNothing) {
  ScheduleFields fields = {"0", "20,8", "*", "1,*", "5,4,3,2,1"};
  EXPECT_EQ(CommitSchedule(true, fields), "=0 8,20 * * 1,2,3,4,5");
  EXPECT_EQ(fields[1], "8,20");  // the page shows the verified values
  EXPECT_EQ(CommitSchedule(false, fields), "");
}

TEST(ScheduleFields, LoadSplitsTheStoredForm) {
  EXPECT_EQ(LoadScheduleFields("=0 8,20 * * 1,2,3,4,5"),
            (ScheduleFields{"0", "8,20", "*", "*", "1,2,3,4,5"}));
  EXPECT_EQ(LoadScheduleFields("=1 2 3 4 5 6"), (ScheduleFields{"1", "2", "3", "4", "5 6"}));
  // Without blanks nothing is consumed by the first four steps.
  EXPECT_EQ(LoadScheduleFields("=*"), (ScheduleFields{"", "", "", "", "=*"}));
  EXPECT_EQ(LoadScheduleFields(""), (ScheduleFields{"", "", "", "", ""}));
}

TEST(ScheduleFields, SwitchingFillsOrEmpties) {
  ScheduleFields fields = {"", " ", "3", "*", "\t"};
  SwitchSchedule(true, fields);
  EXPECT_EQ(fields, (ScheduleFields{"*", "*", "3", "*", "*"}));
  SwitchSchedule(false, fields);
  EXPECT_EQ(fields, (ScheduleFields{"", "", "", "", ""}));
  SwitchSchedule(true, fields);
  EXPECT_EQ(CommitSchedule(true, fields), "=* * * * *");
}

TEST(ScheduleFields, TypingRules) {
  for (char c : std::string("0123456789,*\b")) EXPECT_TRUE(ScheduleKeyAccepted(c)) << int(c);
  for (char c : std::string(" aZ-+.;=\t\x7f\xe9")) EXPECT_FALSE(ScheduleKeyAccepted(c)) << int(c);
  std::string text = "1,2*";
  EXPECT_TRUE(CollapseStar(text));
  EXPECT_EQ(text, "*");
  text = "1,2";
  EXPECT_FALSE(CollapseStar(text));
  EXPECT_EQ(text, "1,2");
  EXPECT_EQ(FieldAfterExit(""), "*");
  EXPECT_EQ(FieldAfterExit("4"), "4");
}

// The verification as described step by step (sort, clamp, de-duplicate over
// all entries), used as the reference for the linear implementation.
Verified Reference(ScheduleField field, const std::string& typed) {
  std::string text = typed + ",";
  if (text.find('*') != std::string::npos) return {"*", 0};
  int corrections = 0;
  std::vector<long long> values;
  std::size_t start = 0, comma;
  while ((comma = text.find(',', start)) != std::string::npos) {
    std::string piece = text.substr(start, comma - start);
    start = comma + 1;
    std::size_t digits = (!piece.empty() && (piece[0] == '+' || piece[0] == '-')) ? 1 : 0;
    bool number = piece.size() > digits && std::all_of(piece.begin() + digits, piece.end(),
                                                       [](char c) { return c >= '0' && c <= '9'; });
    if (!number) {
      ++corrections;
      values.push_back(100);
      continue;
    }
    std::size_t first = piece.find_first_not_of('0', digits);
    bool huge = first != std::string::npos && piece.size() - first > 12;
    long long v = huge ? 1'000'000'000'000LL : std::stoll(piece.substr(digits));
    values.push_back(piece[0] == '-' ? -v : v);
  }
  std::sort(values.begin(), values.end());
  const auto& info = FieldInfo(field);
  for (auto& v : values) {
    if (v < info.min || v > info.max) {
      v = std::clamp<long long>(v, info.min, info.max);
      ++corrections;
    }
  }
  auto end = std::unique(values.begin(), values.end());
  corrections += static_cast<int>(values.end() - end);
  values.erase(end, values.end());
  std::string out;
  for (auto v : values) out += (out.empty() ? "" : ",") + std::to_string(v);
  return {out, corrections};
}

std::string RandomField(std::mt19937& rng) {
  static const std::vector<std::string> atoms = {"0",
                                                 "1",
                                                 "7",
                                                 "12",
                                                 "23",
                                                 "31",
                                                 "59",
                                                 "60",
                                                 "100",
                                                 "-1",
                                                 "+3",
                                                 "-",
                                                 "+",
                                                 "",
                                                 "x",
                                                 " ",
                                                 "\t",
                                                 "99999999999999999999999",
                                                 "-18446744073709551617",
                                                 "007",
                                                 "*",
                                                 "\xff",
                                                 std::string(1, '\0'),
                                                 "1 2"};
  std::uniform_int_distribution<int> count(0, 12), atom(0, static_cast<int>(atoms.size()) - 1), star(0, 9);
  std::string field;
  int n = count(rng);
  if (n == 12) n = 3000;  // now and then a very long field
  for (int i = 0; i < n; ++i) {
    if (i > 0) field += ',';
    std::string a = atoms[static_cast<std::size_t>(atom(rng))];
    if (a == "*" && star(rng) != 0) a = "5";  // keep most fields star-free
    field += a;
  }
  return field;
}

bool IsStoredField(const std::string& f, const ScheduleFieldInfo& info) {
  if (f == "*") return true;
  std::stringstream in(f);
  std::string piece;
  int previous = -1;
  std::size_t pieces = 0;
  while (std::getline(in, piece, ',')) {
    ++pieces;
    if (piece.empty() || piece.size() > 2 || !std::all_of(piece.begin(), piece.end(), ::isdigit))
      return false;
    if (piece.size() == 2 && piece[0] == '0') return false;
    int v = std::stoi(piece);
    if (v < info.min || v > info.max || v <= previous) return false;
    previous = v;
  }
  return pieces > 0 && f.back() != ',';
}

TEST(ScheduleProperty, StoredFormKeepsItsGuaranteeOnRandomInput) {
  std::mt19937 rng(20261207);
  for (int round = 0; round < 2000; ++round) {
    ScheduleFields fields;
    for (auto& f : fields) f = RandomField(rng);
    ScheduleFields typed = fields;

    for (const auto& info : ScheduleFieldInfos()) {
      const std::string& input = typed[static_cast<std::size_t>(info.field) - 1];
      Verified got = Verify(info.field, input);
      Verified want = Reference(info.field, input);
      ASSERT_EQ(got.text, want.text) << info.name << " input: " << input;
      ASSERT_EQ(got.corrections, want.corrections) << info.name << " input: " << input;
      // A verified field verifies to itself without corrections.
      Verified again = Verify(info.field, got.text);
      ASSERT_EQ(again.text, got.text);
      ASSERT_EQ(again.corrections, 0);
    }

    std::string stored = CommitSchedule(true, fields);
    ASSERT_EQ(stored.substr(0, 1), "=");
    std::vector<std::string> parts;
    std::stringstream in(stored.substr(1));
    std::string part;
    while (std::getline(in, part, ' ')) parts.push_back(part);
    ASSERT_EQ(parts.size(), 5u) << stored;
    ASSERT_EQ(stored.back() != ' ', true) << stored;
    for (const auto& info : ScheduleFieldInfos())
      ASSERT_TRUE(IsStoredField(parts[static_cast<std::size_t>(info.field) - 1], info)) << stored;
    // What is stored loads back into the same fields.
    ASSERT_EQ(LoadScheduleFields(stored), fields) << stored;
  }
}

}  // namespace
}  // namespace varnok::properties
