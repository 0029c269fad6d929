#pragma once
// The rules applied to every line of an assembled macro, and the block of
// lines that opens a time-stamped log.
#include <string>

#include "run/macro_text.h"

namespace varnok::run {

struct LineVariables {
  std::string logonName;  // for "$USER$", "$user$", "$User$"
  std::string name;       // "$NAME$": the user's name as typed (untrimmed)
  std::string email;      // "$EMAIL$"
  std::string phone;      // "$PHONE$"
  std::string logDir;     // "$LOGDIR$" becomes logDir + the path separator
};

// Processes one line. Returns false when the line is to be dropped: it is
// blank, or (then `loggingRequested` is set) its trimmed text begins with
// "$LOGIT$" in any letter case. Otherwise replaces the first occurrence of
// each variable in the trimmed line: the logon name (the first of "$USER$"
// upper-cased, "$user$" lower-cased, "$User$" as is that the line holds), then
// "$NAME$", "$EMAIL$", "$PHONE$" (any letter case; only when the value is not
// blank) and "$LOGDIR$" (any letter case). A line with a replacement becomes
// the trimmed, replaced text; a line without keeps its blanks.
bool ProcessLine(std::string& line, const LineVariables& vars, bool& loggingRequested);

// Applies ProcessLine to every line, dropping those it drops. Returns whether
// a "$LOGIT$" line asked for logging.
bool ProcessMacroLines(MacroLines& lines, const LineVariables& vars);

// Appends the 21 lines that make the emulator open the log file
// `pathPrefix` + date and time + ".log", then end the macro.
void AppendLogOpening(MacroLines& lines, const std::string& pathPrefix);

}  // namespace varnok::run
