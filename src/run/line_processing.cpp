#include "run/line_processing.h"

#include <filesystem>

namespace varnok::run {
namespace {

// Replaces the first occurrence of `variable` (found with `find`) in `t`.
template <typename Find>
bool ReplaceFirst(std::string& t, std::string_view variable, const std::string& value, Find find) {
  std::size_t at = find(t, variable);
  if (at == std::string::npos) return false;
  t.replace(at, variable.size(), value);
  return true;
}

std::size_t FindExact(std::string_view hay, std::string_view needle) { return hay.find(needle); }
std::size_t FindAnyCase(std::string_view hay, std::string_view needle) { return FindNoCase(hay, needle); }

}  // namespace

bool ProcessLine(std::string& line, const LineVariables& vars, bool& loggingRequested) {
  std::string t(TrimControl(line));
  if (t.empty()) return false;
  if (ToUpperAscii(t).starts_with("$LOGIT$")) {
    loggingRequested = true;
    return false;
  }
  bool replaced = false;
  if (t.find("$USER$") != std::string::npos) {
    replaced |= ReplaceFirst(t, "$USER$", ToUpperAscii(vars.logonName), FindExact);
  } else if (t.find("$user$") != std::string::npos) {
    replaced |= ReplaceFirst(t, "$user$", ToLowerAscii(vars.logonName), FindExact);
  } else {
    replaced |= ReplaceFirst(t, "$User$", vars.logonName, FindExact);
  }
  auto userVariable = [&](std::string_view variable, const std::string& value) {
    if (!TrimControl(value).empty()) replaced |= ReplaceFirst(t, variable, value, FindAnyCase);
  };
  userVariable("$NAME$", vars.name);
  userVariable("$EMAIL$", vars.email);
  userVariable("$PHONE$", vars.phone);
  replaced |= ReplaceFirst(
      t, "$LOGDIR$", vars.logDir + std::string(1, std::filesystem::path::preferred_separator), FindAnyCase);
  if (replaced) line = std::move(t);
  return true;
}

bool ProcessMacroLines(MacroLines& lines, const LineVariables& vars) {
  bool logging = false;
  MacroLines kept;
  kept.reserve(lines.size());
  for (std::string& line : lines) {
    if (ProcessLine(line, vars, logging)) kept.push_back(std::move(line));
  }
  lines = std::move(kept);
  return logging;
}

void AppendLogOpening(MacroLines& lines, const std::string& pathPrefix) {
  const char* const block[] = {
      "; Generaing log file name based on current timestamp",
      "fn=\"\"",
      "; The next line contains full path to log file and begining of the log file name. Modify it if "
      "needed.",
      nullptr,  // the path line
      "getdate dt",
      "strcopy dt 1 4 _dt",
      "strconcat fn _dt",
      "strcopy dt 6 2 _dt",
      "strconcat fn _dt",
      "strcopy dt 9 2 _dt",
      "strconcat fn _dt",
      "gettime dt",
      "strcopy dt 1 2 _dt",
      "strconcat fn _dt",
      "strcopy dt 4 2 _dt",
      "strconcat fn _dt",
      "strcopy dt 7 2 _dt",
      "strconcat fn _dt",
      "strconcat fn '.log'",
      "logopen fn 0 0",
      "end",
  };
  for (const char* line : block)
    lines.emplace_back(line ? std::string(line) : "strconcat fn '" + pathPrefix + "'");
}

}  // namespace varnok::run
