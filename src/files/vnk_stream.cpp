#include "files/vnk_stream.h"

#include "common/program_paths.h"
#include "files/level_placement.h"

namespace varnok {
namespace {

class RecordStream {
 public:
  explicit RecordStream(const RecordVisitor& visit) : visit_(visit) {}

  std::size_t read(std::string_view bytes, bool atEnd) {
    std::string_view in = bytes;
    if (!headerRead_) {
      switch (ReadHeader(in, atEnd, left_)) {
        case HeaderRead::NeedMore:
          return 0;
        case HeaderRead::InvalidFormat:
          return stop(LoadStatus::InvalidFormat, kVnkInvalidFormat);
        case HeaderRead::Inconsistent:
          return stop(LoadStatus::InconsistentData, kVnkInconsistent);
        case HeaderRead::Ok:
          break;
      }
      headerRead_ = true;
    }
    for (; left_ > 0; --left_) {
      RecordView r;
      if (!ReadRecordView(in, r)) {
        if (atEnd) return stop(LoadStatus::InconsistentData, kVnkInconsistent);
        return bytes.size() - in.size();  // the rest of the record comes with the next piece
      }
      if (r.Name.empty()) continue;
      r.Level = depths_.depthFor(r.Level);
      if (IsSeparatorName(r.Name)) r.Name = kSeparatorName;
      ++result_.nodesAdded;
      if (!visit_(r, result_.nodesAdded)) return platform::kStopReading;
    }
    return platform::kStopReading;  // what follows the last record is not read
  }

  LoadResult finish() {
    if (!headerRead_ && result_.ok()) stop(LoadStatus::InvalidFormat, kVnkInvalidFormat);
    return std::move(result_);
  }

 private:
  std::size_t stop(LoadStatus status, const char* message) {
    result_.status = status;
    result_.message = message;
    return platform::kStopReading;
  }

  const RecordVisitor& visit_;
  LevelDepths depths_;
  bool headerRead_ = false;
  std::int32_t left_ = 0;
  LoadResult result_;
};

}  // namespace

LoadResult StreamConfiguration(const std::string& path, const RecordVisitor& visit) {
  LoadResult r;
  if (!FileExists(path)) {
    r.status = LoadStatus::FileMissing;
    r.message = "File '" + path + "' does not exist.";
    return r;
  }
  RecordStream stream(visit);
  platform::WriteResult read = platform::ReadFileInPieces(
      path, std::size_t{1} << 20,
      [&](std::string_view bytes, bool atEnd) { return stream.read(bytes, atEnd); });
  if (!read) {
    r.status = LoadStatus::CannotOpen;
    r.message = kVnkCannotOpen;
    r.reason = std::move(read.error);
    return r;
  }
  return stream.finish();
}

bool ProduceNormalisedConfiguration(const std::string& path, LoadResult& result,
                                    const std::function<bool(std::string_view)>& sink) {
  // The count comes first in the file, so the first pass counts (and finds
  // any damage before a byte is written).
  result = StreamConfiguration(path, [](const RecordView&, int) { return true; });
  if (!result.ok()) return false;
  const int counted = result.nodesAdded;
  std::string out;
  AppendHeader(out, counted);
  bool written = true;
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  LoadResult second = StreamConfiguration(path, [&](const RecordView& r, int index) {
    if (index > counted) return false;
    AppendRecord(out, r, r.Level);
    if (out.size() >= kChunk) {
      written = sink(out);
      out.clear();
    }
    return written;
  });
  if (!written) return false;  // the sink's failure; the input is fine
  if (!second.ok()) {
    result = std::move(second);
    return false;
  }
  if (second.nodesAdded != counted) {
    result.status = LoadStatus::InconsistentData;
    result.message = kVnkInconsistent;
    result.reason = path + ": the file changed while it was read";
    return false;
  }
  return sink(out);
}

}  // namespace varnok
