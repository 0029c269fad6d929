#include "files/vnk_file.h"

#include <cstring>
#include <vector>

#include "common/program_paths.h"
#include "files/level_placement.h"
#include "platform/memory_blocks.h"

namespace varnok {
namespace {

constexpr const char* kCannotOpen = "Cannot open the file.";
constexpr const char* kInvalidFormat = "Cannot open the file. Invalid file format.";
constexpr const char* kInconsistent = "Error reading file. The file contains inconsistent data.";

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

bool GetText(std::string_view& in, std::pmr::string& s) {
  std::int32_t n = 0;
  if (!GetInt(in, n) || n < 0 || static_cast<std::size_t>(n) > in.size()) return false;
  s.assign(in.data(), static_cast<std::size_t>(n));
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
  PutInt(out, level);
  PutInt(out, d.NodeType);
  out.push_back(d.StartLogging ? '\1' : '\0');
  PutText(out, d.Name);
  PutText(out, d.Macro);
  PutText(out, d.PopupText);
  PutText(out, d.Schedule);
  PutText(out, d.LastUpdated);
  PutText(out, d.Colors);
}

bool ReadRecord(std::string_view& in, rVTNodeData& d) {
  std::string_view rest = in;
  std::int32_t level = 0, type = 0;
  if (!GetInt(rest, level) || !GetInt(rest, type) || rest.empty()) return false;
  bool logging = rest.front() != '\0';
  rest.remove_prefix(1);
  if (!GetText(rest, d.Name) || !GetText(rest, d.Macro) || !GetText(rest, d.PopupText) ||
      !GetText(rest, d.Schedule) || !GetText(rest, d.LastUpdated) || !GetText(rest, d.Colors))
    return false;
  d.Level = level;
  d.NodeType = type;
  d.StartLogging = logging;
  in = rest;
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
  out.append(kVnkTag);
  PutInt(out, static_cast<std::int32_t>(written.size()));
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

WriteResult SaveConfiguration(const ConnectionTree& tree, const std::string& path,
                              const NodeFilter& selected) {
  // In pieces: no buffer of the file's size, whose fresh pages cost more than the writing.
  return SafeWriteFile(
      path, [&](const ChunkSink& sink) { return ProduceConfiguration(tree, selected, 1 << 20, sink); });
}

LoadResult ReadConfiguration(ConnectionTree& tree, std::string_view bytes, bool import,
                             std::int32_t selectedNodeIndex) {
  if (bytes.size() < kVnkTag.size() || bytes.substr(0, kVnkTag.size()) != kVnkTag)
    return Failure(LoadStatus::InvalidFormat, kInvalidFormat);
  bytes.remove_prefix(kVnkTag.size());

  LoadResult result;
  std::int32_t count = 0;
  if (!GetInt(bytes, count)) {
    result.status = LoadStatus::InconsistentData;
    result.message = kInconsistent;
    return result;
  }

  SubtreeBuilder builder(tree.memory());
  LevelPlacement place(builder.root());
  const int firstIndex = tree.count();

  for (std::int32_t i = 0; i < count; ++i) {
    rVTNodeData d;
    if (!ReadRecord(bytes, d)) {
      result.status = LoadStatus::InconsistentData;
      result.message = kInconsistent;
      break;
    }
    if (d.Name.empty()) continue;
    TreeNode* parent = place.parentFor(d.Level);
    if (IsSeparatorName(d.Name)) d.Name = kSeparatorName;
    const int index = firstIndex + builder.nodeCount();
    TreeNode* created = builder.append(parent, std::move(d));
    place.created(created);
    if (index == selectedNodeIndex) result.focusNode = created;
  }

  result.nodesAdded = builder.nodeCount();
  TreeNode* target = tree.top();
  tree.insertRange(target, target->childCount(), builder.finish());
  result.nameDocument = result.ok() && !import;
  return result;
}

LoadResult LoadConfiguration(ConnectionTree& tree, const std::string& path, bool import,
                             std::int32_t selectedNodeIndex) {
  if (!FileExists(path)) return Failure(LoadStatus::FileMissing, "File '" + path + "' does not exist.");
  // Read, not mapped: a file cut short meanwhile must be an error, not a SIGBUS.
  platform::BlockResource blocks;
  std::pmr::string bytes(&blocks);
  if (WriteResult read = ReadWholeFile(path, bytes); !read) {
    LoadResult r = Failure(LoadStatus::CannotOpen, kCannotOpen);
    r.reason = std::move(read.error);
    return r;
  }
  return ReadConfiguration(tree, bytes, import, selectedNodeIndex);
}

}  // namespace varnok
