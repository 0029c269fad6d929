#include "files/vnk_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "common/program_paths.h"
#include "files/level_placement.h"

namespace varnok {
namespace {

constexpr const char* kCannotOpen = kVnkCannotOpen;
constexpr const char* kInvalidFormat = kVnkInvalidFormat;
constexpr const char* kInconsistent = kVnkInconsistent;

void PutInt(std::string& out, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  char b[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
               static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
  out.append(b, 4);
}

void PutText(std::string& out, std::string_view s) {
  PutInt(out, static_cast<std::int32_t>(s.size()));
  out.append(s);
}

bool GetInt(std::string_view& in, std::int32_t& v) {
  if (in.size() < 4) return false;
  auto b = reinterpret_cast<const unsigned char*>(in.data());
  v = static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                                (static_cast<std::uint32_t>(b[2]) << 16) |
                                (static_cast<std::uint32_t>(b[3]) << 24));
  in.remove_prefix(4);
  return true;
}

bool GetText(std::string_view& in, std::string_view& s) {
  std::int32_t n = 0;
  if (!GetInt(in, n) || n < 0 || static_cast<std::size_t>(n) > in.size()) return false;
  s = in.substr(0, static_cast<std::size_t>(n));
  in.remove_prefix(static_cast<std::size_t>(n));
  return true;
}

LoadResult Failure(LoadStatus status, std::string message) {
  LoadResult r;
  r.status = status;
  r.message = std::move(message);
  return r;
}

}  // namespace

void AppendRecord(std::string& out, const rVTNodeData& d, std::int32_t level) {
  AppendRecord(out, ViewOf(d), level);
}

void AppendRecord(std::string& out, const RecordView& r, std::int32_t level) {
  PutInt(out, level);
  PutInt(out, r.NodeType);
  out.push_back(r.StartLogging ? '\1' : '\0');
  PutText(out, r.Name);
  PutText(out, r.Macro);
  PutText(out, r.PopupText);
  PutText(out, r.Schedule);
  PutText(out, r.LastUpdated);
  PutText(out, r.Colors);
}

void AppendHeader(std::string& out, std::int32_t records) {
  out.append(kVnkTag);
  PutInt(out, records);
}

bool ReadRecordView(std::string_view& in, RecordView& r) {
  std::string_view rest = in;
  std::int32_t level = 0, type = 0;
  if (!GetInt(rest, level) || !GetInt(rest, type) || rest.empty()) return false;
  bool logging = rest.front() != '\0';
  rest.remove_prefix(1);
  if (!GetText(rest, r.Name) || !GetText(rest, r.Macro) || !GetText(rest, r.PopupText) ||
      !GetText(rest, r.Schedule) || !GetText(rest, r.LastUpdated) || !GetText(rest, r.Colors))
    return false;
  r.Level = level;
  r.NodeType = type;
  r.StartLogging = logging;
  in = rest;
  return true;
}

HeaderRead ReadHeader(std::string_view& in, bool atEnd, std::int32_t& records) {
  if (in.size() < kVnkTag.size() + 4 && !atEnd) return HeaderRead::NeedMore;
  if (in.size() < kVnkTag.size() || in.substr(0, kVnkTag.size()) != kVnkTag) return HeaderRead::InvalidFormat;
  in.remove_prefix(kVnkTag.size());
  return GetInt(in, records) ? HeaderRead::Ok : HeaderRead::Inconsistent;
}

bool ReadRecord(std::string_view& in, rVTNodeData& d) {
  RecordView r;
  if (!ReadRecordView(in, r)) return false;
  d.Name.assign(r.Name);
  d.Macro.assign(r.Macro);
  d.PopupText.assign(r.PopupText);
  d.Schedule.assign(r.Schedule);
  d.LastUpdated.assign(r.LastUpdated);
  d.Colors.assign(r.Colors);
  d.Level = r.Level;
  d.NodeType = r.NodeType;
  d.StartLogging = r.StartLogging;
  return true;
}

bool ProduceConfiguration(const ConnectionTree& tree, const NodeFilter& selected, std::size_t chunk,
                          const std::function<bool(std::string_view)>& sink) {
  const TreeNode* top = tree.top();
  std::vector<const TreeNode*> written;
  written.reserve(static_cast<std::size_t>(selected ? 0 : tree.count()));
  ConnectionTree::forEachPreOrder(top, [&](const TreeNode* n) {
    if (n != top && (!selected || selected(n))) written.push_back(n);
  });
  std::string out;
  AppendHeader(out, static_cast<std::int32_t>(written.size()));
  for (const TreeNode* n : written) {
    AppendRecord(out, n->data(), n->data().Level);
    if (out.size() >= chunk) {
      if (!sink(out)) return false;
      out.clear();
    }
  }
  return sink(out);
}

std::string WriteConfiguration(const ConnectionTree& tree, const NodeFilter& selected) {
  std::string all;
  ProduceConfiguration(tree, selected, 1 << 20, [&](std::string_view piece) {
    all.append(piece);
    return true;
  });
  return all;
}

WriteResult SaveConfiguration(const ConnectionTree& tree, const std::string& path, const NodeFilter& selected,
                              const WriteOptions& options) {
  // In pieces: no buffer of the file's size, whose fresh pages cost more than the writing.
  return SafeWriteFile(
      path, [&](const ChunkSink& sink) { return ProduceConfiguration(tree, selected, 1 << 20, sink); },
      options);
}

namespace {

// Reads the file's bytes as they come, in pieces of any size: each record is
// read once it is complete, straight into the tree's memory.
class ConfigurationReader {
 public:
  ConfigurationReader(ConnectionTree& tree, std::int32_t selectedNodeIndex)
      : tree_(tree),
        builder_(tree.memory()),
        place_(builder_.root()),
        firstIndex_(tree.count()),
        selectedNodeIndex_(selectedNodeIndex) {}

  // Reads what `bytes` holds in full and returns how many bytes that was
  // (kStopReading once the file is read or found damaged). atEnd: nothing
  // follows `bytes`.
  std::size_t read(std::string_view bytes, bool atEnd) {
    std::string_view in = bytes;
    if (!headerRead_) {
      switch (ReadHeader(in, atEnd, left_)) {
        case HeaderRead::NeedMore:
          return 0;
        case HeaderRead::InvalidFormat:
          return stop(LoadStatus::InvalidFormat, kInvalidFormat);
        case HeaderRead::Inconsistent:
          return stop(LoadStatus::InconsistentData, kInconsistent);
        case HeaderRead::Ok:
          break;
      }
      headerRead_ = true;
    }
    for (; left_ > 0; --left_) {
      RecordView d;
      if (!ReadRecordView(in, d)) {
        if (atEnd) return stop(LoadStatus::InconsistentData, kInconsistent);
        return bytes.size() - in.size();  // the rest of the record comes with the next piece
      }
      if (d.Name.empty()) continue;
      TreeNode* parent = place_.parentFor(d.Level);
      if (IsSeparatorName(d.Name)) d.Name = kSeparatorName;
      const int index = firstIndex_ + builder_.nodeCount();
      TreeNode* created = builder_.appendFrom(parent, d);
      place_.created(created);
      if (index == selectedNodeIndex_) result_.focusNode = created;
    }
    return kStopReading;  // what follows the last record is not read
  }

  // Puts what was read below the top node, also after a failure part-way.
  LoadResult finish(bool import) {
    if (!headerRead_ && result_.ok()) stop(LoadStatus::InvalidFormat, kInvalidFormat);  // nothing came
    result_.nodesAdded = builder_.nodeCount();
    TreeNode* target = tree_.top();
    tree_.insertRange(target, target->childCount(), builder_.finish());
    result_.nameDocument = result_.ok() && !import;
    return std::move(result_);
  }

 private:
  std::size_t stop(LoadStatus status, const char* message) {
    result_.status = status;
    result_.message = message;
    return kStopReading;
  }

  ConnectionTree& tree_;
  SubtreeBuilder builder_;
  LevelPlacement place_;
  const int firstIndex_;
  const std::int32_t selectedNodeIndex_;
  bool headerRead_ = false;
  std::int32_t left_ = 0;  // records still to read
  LoadResult result_;
};

}  // namespace

LoadResult ReadConfiguration(ConnectionTree& tree, std::string_view bytes, bool import,
                             std::int32_t selectedNodeIndex) {
  ConfigurationReader reader(tree, selectedNodeIndex);
  reader.read(bytes, true);
  return reader.finish(import);
}

LoadResult LoadConfiguration(ConnectionTree& tree, const std::string& path, bool import,
                             std::int32_t selectedNodeIndex) {
  return LoadConfiguration(tree, path, import, selectedNodeIndex, {});
}

LoadResult LoadConfiguration(ConnectionTree& tree, const std::string& path, bool import,
                             std::int32_t selectedNodeIndex, const std::function<bool(double)>& keepReading) {
  if (!FileExists(path)) return Failure(LoadStatus::FileMissing, "File '" + path + "' does not exist.");
  // Read, not mapped: a file cut short meanwhile must be an error, not a
  // SIGBUS. In pieces through one small buffer: a buffer of the file's size
  // would cost a page fault and a cleared page per 4 KiB for nothing.
  ConfigurationReader reader(tree, selectedNodeIndex);
  FileIdentity opened;
  std::error_code sizeUnknown;
  const double size = static_cast<double>(std::filesystem::file_size(path, sizeUnknown));
  std::size_t used = 0;
  WriteResult read = ReadFileInPieces(
      path, std::size_t{1} << 20,
      [&](std::string_view bytes, bool atEnd) {
        if (keepReading && !keepReading(sizeUnknown || size <= 0 ? 0.0 : std::min(1.0, used / size)))
          return kStopReading;
        const std::size_t n = reader.read(bytes, atEnd);
        if (n != kStopReading) used += n;
        return n;
      },
      &opened);
  if (!read) {
    LoadResult r = Failure(LoadStatus::CannotOpen, kCannotOpen);
    r.reason = std::move(read.error);
    return r;
  }
  LoadResult r = reader.finish(import);
  r.file = opened;
  return r;
}

}  // namespace varnok
