#include "files/node_transfer.h"

#include "files/level_placement.h"
#include "files/vnk_file.h"

namespace varnok {
namespace {

constexpr std::string_view kNodesTag = "VNKNODES1";
constexpr int kRecordsBetweenQuestions = 4096;

}  // namespace

std::string SerializeNodes(const std::vector<TreeNode*>& roots) {
  std::string out(kNodesTag);
  for (const TreeNode* root : roots) {
    const int base = root->data().Level - 1;
    ConnectionTree::forEachPreOrder(
        root, [&](const TreeNode* n) { AppendRecord(out, n->data(), n->data().Level - base); });
  }
  return out;
}

std::optional<std::vector<std::unique_ptr<TreeNode>>> DeserializeNodes(std::string_view bytes,
                                                                       NodeMemory* memory,
                                                                       const KeepGoing& keepGoing) {
  if (!bytes.starts_with(kNodesTag)) return std::nullopt;
  bytes.remove_prefix(kNodesTag.size());
  SubtreeBuilder builder(memory);
  LevelPlacement place(builder.root());
  const double size = static_cast<double>(bytes.size());
  for (int records = 0; !bytes.empty(); ++records) {
    if (keepGoing && records % kRecordsBetweenQuestions == 0 &&
        !keepGoing(1.0 - static_cast<double>(bytes.size()) / size))
      return std::nullopt;
    RecordView d;
    if (!ReadRecordView(bytes, d)) return std::nullopt;
    if (d.Name.empty()) continue;
    TreeNode* parent = place.parentFor(d.Level);
    if (IsSeparatorName(d.Name)) d.Name = kSeparatorName;
    place.created(builder.appendFrom(parent, d));
  }
  return builder.finish();
}

}  // namespace varnok
