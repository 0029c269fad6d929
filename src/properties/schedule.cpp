#include "properties/schedule.h"

#include <bitset>
#include <cstddef>

namespace varnok::properties {
namespace {

constexpr std::array<ScheduleFieldInfo, kScheduleFieldCount> kFields = {{
    {ScheduleField::Minute, "minute", "Edit4", "Minute (0..59) :", 0, 59},
    {ScheduleField::Hour, "hour", "Edit5", "Hour (0..23) :", 0, 23},
    {ScheduleField::Day, "day", "Edit6", "Day on the month (1..31) :", 1, 31},
    {ScheduleField::Month, "month", "Edit7", "Month (1..12) :", 1, 12},
    {ScheduleField::Weekday, "weekday", "Edit8", "Day of the week (1..7) :", 1, 7},
}};

// A piece that is not a number stands for this value, above every range.
constexpr int kNotANumber = 100;
// Magnitudes beyond this are all out of every range; parsing saturates here
// so that a number of any length is still a number (one correction when moved
// into the range), never an overflow.
constexpr int kSaturation = 1'000'000;
constexpr int kHighestMax = 59;

// Parses an optionally signed decimal integer; false for anything else.
bool ParseDecimal(std::string_view piece, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) {
    negative = piece[i] == '-';
    ++i;
  }
  if (i == piece.size()) return false;
  int magnitude = 0;
  for (; i < piece.size(); ++i) {
    char c = piece[i];
    if (c < '0' || c > '9') return false;
    if (magnitude < kSaturation) magnitude = magnitude * 10 + (c - '0');
  }
  if (magnitude > kSaturation) magnitude = kSaturation;
  value = negative ? -magnitude : magnitude;
  return true;
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsTrimmed(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsTrimmed(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

const std::array<ScheduleFieldInfo, kScheduleFieldCount>& ScheduleFieldInfos() { return kFields; }

const ScheduleFieldInfo& FieldInfo(ScheduleField field) {
  return kFields[static_cast<std::size_t>(field) - 1];
}

bool ScheduleFieldByName(std::string_view name, ScheduleField& field) {
  for (const auto& info : kFields) {
    if (info.name == name) {
      field = info.field;
      return true;
    }
  }
  return false;
}

// The field's text with "," appended is split at every ","; each piece is one
// entry. Sorting, moving into the range and removing repeats are done with a
// presence set over the (small) range: the result and the number of
// corrections are those of sort, clamp, de-duplicate, in time linear in the
// text and without memory proportional to it.
std::string VerifyScheduleField(ScheduleField field, std::string_view text, int& corrections) {
  if (text.find('*') != std::string_view::npos) return "*";
  const ScheduleFieldInfo& info = FieldInfo(field);
  std::bitset<kHighestMax + 1> present;
  int entries = 0;
  std::size_t start = 0;
  // The appended "," ends the last piece: iterate up to and including size().
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ',') continue;
    int value = 0;
    if (!ParseDecimal(text.substr(start, i - start), value)) {
      ++corrections;
      value = kNotANumber;
    }
    if (value < info.min) {
      value = info.min;
      ++corrections;
    } else if (value > info.max) {
      value = info.max;
      ++corrections;
    }
    present.set(static_cast<std::size_t>(value));
    ++entries;
    start = i + 1;
  }
  corrections += entries - static_cast<int>(present.count());

  std::string result;
  for (int v = info.min; v <= info.max; ++v) {
    if (!present.test(static_cast<std::size_t>(v))) continue;
    if (!result.empty()) result += ',';
    result += std::to_string(v);
  }
  return result;
}

int VerifyScheduleFields(ScheduleFields& fields) {
  int corrections = 0;
  for (const auto& info : kFields) {
    std::string& text = fields[static_cast<std::size_t>(info.field) - 1];
    text = VerifyScheduleField(info.field, text, corrections);
  }
  return corrections;
}

std::string VerificationMessage(int corrections) {
  if (corrections == 0) return "All fields are entered correctly.";
  if (corrections == 1) return "1 invalid entry corrected.";
  return std::to_string(corrections) + " invalid entries corrected.";
}

std::string CommitSchedule(bool on, ScheduleFields& fields) {
  if (!on) return "";
  VerifyScheduleFields(fields);
  std::string stored = "=";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) stored += ' ';
    stored += Trim(fields[i]);
  }
  return stored;
}

// Four times: the text up to and including the first blank, trimmed, is the
// next field, and reading continues after that blank; the weekday field is the
// trimmed remainder. Without a blank the piece is empty and nothing is
// consumed. The minute field loses the leading "=".
ScheduleFields LoadScheduleFields(std::string_view stored) {
  ScheduleFields fields;
  std::string_view rest = stored;
  for (std::size_t i = 0; i < 4; ++i) {
    std::size_t blank = rest.find(' ');
    std::size_t take = blank == std::string_view::npos ? 0 : blank + 1;
    fields[i] = Trim(rest.substr(0, take));
    rest.remove_prefix(take);
  }
  fields[4] = Trim(rest);
  if (!fields[0].empty() && fields[0].front() == '=') fields[0].erase(0, 1);
  return fields;
}

void SwitchSchedule(bool on, ScheduleFields& fields) {
  for (std::string& text : fields) {
    if (!on)
      text.clear();
    else if (Trim(text).empty())
      text = "*";
  }
}

std::string FieldAfterExit(std::string_view text) { return text.empty() ? "*" : std::string(text); }

bool ScheduleKeyAccepted(char ch) { return (ch >= '0' && ch <= '9') || ch == ',' || ch == '*' || ch == '\b'; }

bool CollapseStar(std::string& text) {
  if (text.find('*') == std::string::npos) return false;
  text = "*";
  return true;
}

}  // namespace varnok::properties
