#include "run/run_history.h"

#include <ctime>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/direct_write.h"
#include "platform/safe_write.h"

namespace varnok::run {
namespace {

std::string Flat(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t tab = line.find('\t', start);
    parts.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return parts;
}

constexpr std::string_view kFailedPrefix = "failed: ";
constexpr std::string_view kStarted = "started";
constexpr std::string_view kRanOnlyPrefix = "started: ran only ";
constexpr std::string_view kStartedEmpty = "started with an empty macro";

}  // namespace

std::string RunOutcome(const RunRecord& r) {
  if (!r.started) return std::string(kFailedPrefix) + Flat(r.message);
  if (!r.ran) return std::string(kStarted);
  if (r.ran->empty()) return std::string(kStartedEmpty);
  return std::string(kRanOnlyPrefix) + Flat(*r.ran);
}

std::string FormatRunRecord(const RunRecord& r) {
  std::time_t t = static_cast<std::time_t>(r.time);
  std::tm local{};
  localtime_r(&t, &local);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
  if (r.note) return std::string(when) + "\tnote\t\t" + Flat(r.message);
  return std::string(when) + "\t" + (r.scheduled ? "scheduled" : "manual") + "\t" + Flat(r.path) + "\t" +
         RunOutcome(r);
}

std::optional<RunRecord> ParseRunRecord(const std::string& line) {
  std::vector<std::string> parts = SplitTabs(line);
  if (parts.size() != 4) return std::nullopt;
  std::tm local{};
  const char* end = strptime(parts[0].c_str(), "%Y-%m-%d %H:%M:%S", &local);
  if (!end || *end != '\0') return std::nullopt;
  local.tm_isdst = -1;
  RunRecord r;
  r.time = static_cast<std::int64_t>(std::mktime(&local));
  if (parts[1] == "note") {
    r.note = true;
    r.message = parts[3];
    return parts[2].empty() ? std::optional<RunRecord>(r) : std::nullopt;
  }
  if (parts[1] == "scheduled")
    r.scheduled = true;
  else if (parts[1] != "manual")
    return std::nullopt;
  r.path = parts[2];
  if (parts[3] == kStarted) {
    r.started = true;
  } else if (parts[3] == kStartedEmpty) {
    r.started = true;
    r.ran = "";
  } else if (parts[3].rfind(kRanOnlyPrefix, 0) == 0) {
    r.started = true;
    r.ran = parts[3].substr(kRanOnlyPrefix.size());
  } else if (parts[3].rfind(kFailedPrefix, 0) == 0) {
    r.message = parts[3].substr(kFailedPrefix.size());
  } else {
    return std::nullopt;
  }
  return r;
}

RunHistory::RunHistory(std::string logFile) : logFile_(std::move(logFile)) {
  if (logFile_.empty()) return;
  std::string bytes;
  if (!platform::ReadWholeFile(logFile_, bytes)) return;
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    ++linesInFile_;
    if (std::optional<RunRecord> r = ParseRunRecord(line)) {
      records_.push_back(std::move(*r));
      if (records_.size() > kKept) records_.pop_front();
    }
  }
}

std::string RunHistory::add(const RunRecord& record) {
  records_.push_back(record);
  if (records_.size() > kKept) records_.pop_front();
  if (logFile_.empty()) return {};

  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(logFile_).parent_path(), ec);
  if (linesInFile_ + 1 >= 2 * kKept) {
    // Cut back: the file holds exactly what is kept in memory.
    std::string bytes;
    for (const RunRecord& r : records_) bytes += FormatRunRecord(r) + "\n";
    platform::WriteResult w =
        platform::SafeWriteFile(logFile_, bytes, platform::WriteOptions{.refuseLinks = true});
    if (!w) return w.error;
    linesInFile_ = records_.size();
    return {};
  }
  // Never through a link, never waiting on a FIFO: the companion must not
  // hang at a run, nor write into a file it was pointed at.
  platform::WriteResult w = platform::AppendToFile(logFile_, FormatRunRecord(record) + "\n");
  if (!w) return w.error;
  ++linesInFile_;
  return {};
}

}  // namespace varnok::run
