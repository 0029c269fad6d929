#pragma once
// Rules of the Schedule page: the five time-table fields (minute, hour, day of
// the month, month, day of the week), their verification and correction, and
// the stored form "=" + five blank-separated fields that the companion reads.
//
// Widgets call these functions; nothing here shows anything:
//   - key filter:     ScheduleKeyAccepted(ch) in keyPressEvent / a validator
//   - text changed:   CollapseStar(text) (user edits only), caret goes to 1
//   - field left:     FieldAfterExit(text)
//   - check box:      SwitchSchedule(on, fields)
//   - "Verify values": VerifyScheduleFields(fields) then VerificationMessage(n)
//   - paste:          VerifyScheduleField(field, text, ignored) silently
//   - load / Apply:   LoadScheduleFields(stored), CommitSchedule(on, fields)
#include <array>
#include <string>
#include <string_view>

namespace varnok::properties {

// Field numbers 1..5 in the order of the page and of the stored form.
enum class ScheduleField { Minute = 1, Hour, Day, Month, Weekday };

struct ScheduleFieldInfo {
  ScheduleField field;
  std::string_view name;     // "minute", "hour", "day", "month", "weekday"
  std::string_view control;  // "Edit4".."Edit8"
  std::string_view label;    // e.g. "Minute (0..59) :"
  int min;
  int max;
};

inline constexpr int kScheduleFieldCount = 5;

// The five fields in order minute, hour, day, month, weekday.
const std::array<ScheduleFieldInfo, kScheduleFieldCount>& ScheduleFieldInfos();
const ScheduleFieldInfo& FieldInfo(ScheduleField field);
// The field whose `name` is given ("minute", ...); false when there is none.
bool ScheduleFieldByName(std::string_view name, ScheduleField& field);

// Texts of the page.
inline constexpr std::string_view kScheduleCheckCaption = "Execute according to schedule";
inline constexpr std::string_view kVerifyButtonCaption = "Verify values";
inline constexpr std::array<std::string_view, 3> kScheduleHelpLines = {
    "Enter numeric values separated by commas or star to",
    "represent all possible values. No spaces are allowed.", "For week days 1=Monday ... 7=Sunday"};
inline constexpr std::string_view kScheduleNote =
    "NOTE: To be able running macros according to the schedule make sure Varnok application is executed "
    "and appears iconized in Windows system tray.";

// Field texts in the order of ScheduleField (index = field number - 1).
using ScheduleFields = std::array<std::string, kScheduleFieldCount>;

// Verifies one field's text as typed: "*" when it holds a "*" anywhere,
// otherwise the ascending, repeat-free list of in-range values. Every
// correction (a piece that is not a number, a value moved into the range, a
// repeat removed) adds one to `corrections`. Never fails, for any bytes.
std::string VerifyScheduleField(ScheduleField field, std::string_view text, int& corrections);

// Replaces each of the five texts by its verified form; returns the number of
// corrections made.
int VerifyScheduleFields(ScheduleFields& fields);

// The result text shown after a verification by the user:
// "All fields are entered correctly.", "1 invalid entry corrected.",
// n + " invalid entries corrected.".
std::string VerificationMessage(int corrections);

// Storing on Apply: when `on`, verifies the fields silently (they are
// replaced by their verified form, as the page shows them) and returns
// "=" + the five trimmed fields separated by single blanks; otherwise "".
std::string CommitSchedule(bool on, ScheduleFields& fields);

// Splits a stored schedule into the five field texts (see the .cpp for the
// exact rule). The stored string's leading "=" is not part of the minute field.
ScheduleFields LoadScheduleFields(std::string_view stored);

// The check box was switched: on gives every field that is blank after
// trimming a "*", off empties all five.
void SwitchSchedule(bool on, ScheduleFields& fields);

// A field left empty gets "*".
std::string FieldAfterExit(std::string_view text);

// The typing filter of the five fields: digits, ",", "*" and backspace.
bool ScheduleKeyAccepted(char ch);

// The "*" rule of a user edit: a text holding "*" anywhere becomes "*" alone.
// Returns true when the rule applied; the widget then shows the text with the
// caret after the "*".
bool CollapseStar(std::string& text);

}  // namespace varnok::properties
