#pragma once
// The companion's record of its runs: the last 100 (time, connection path,
// manual or scheduled, started or the failure's message), kept in memory and
// in a log file of one tab-separated line per run:
//
//   2026-05-04 09:00:02<TAB>scheduled<TAB>Site A/Router<TAB>started
//   2026-05-04 09:00:05<TAB>manual<TAB>Lab/Spare<TAB>started: ran only Lab
//   2026-05-04 09:00:06<TAB>manual<TAB>Solo<TAB>started with an empty macro
//   2026-05-04 09:00:07<TAB>manual<TAB>Lab<TAB>failed: CORVMAIN not found. ...
//   2026-05-04 09:35:00<TAB>note<TAB><TAB>the clock went back from ...
//
// A note is no run: something the companion did or saw that explains runs
// that came late or not at all.
//
// A run plays the macros of its branch; when some of those connections have
// none, the line says whose macros ran.
// Lines that do not read back are skipped; the file is cut back to the last
// 100 runs when it has grown to twice that.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace varnok::run {

struct RunRecord {
  std::int64_t time = 0;  // seconds since 1970
  std::string path;
  bool scheduled = false;
  bool started = false;
  std::string message;  // why it failed; empty when started; the text of a note
  // Whose macros ran, as a path of names, when that is not every connection
  // of `path` ("" when none of them has a macro); nullopt: all of them.
  std::optional<std::string> ran;
  bool note = false;  // not a run: `message` tells what happened

  bool operator==(const RunRecord&) const = default;
};

// The last field of the record's line: "started", "started: ran only Lab",
// "started with an empty macro" or "failed: " and the message.
std::string RunOutcome(const RunRecord& record);

// One line of the file (without the line feed); tabs and line breaks inside
// the fields become blanks. The time is written in local time.
std::string FormatRunRecord(const RunRecord& record);
std::optional<RunRecord> ParseRunRecord(const std::string& line);

class RunHistory {
 public:
  static constexpr std::size_t kKept = 100;

  // Reads the runs already in `logFile` (it may be missing); "" keeps the
  // history in memory only.
  explicit RunHistory(std::string logFile = {});

  // Appends the run; returns an error text naming the file when it could
  // not be written ("" on success). The run is kept in memory either way.
  // A link, FIFO or device in the file's place is refused, never written
  // through or waited on.
  std::string add(const RunRecord& record);

  const std::deque<RunRecord>& records() const { return records_; }  // oldest first
  const std::string& logFile() const { return logFile_; }

 private:
  std::string logFile_;
  std::deque<RunRecord> records_;
  std::size_t linesInFile_ = 0;
};

}  // namespace varnok::run
