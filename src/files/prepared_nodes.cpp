#include "files/prepared_nodes.h"

#include "files/node_transfer.h"
#include "files/plf_file.h"
#include "model/naming.h"
#include "model/tree_operations.h"

namespace varnok {
namespace {

// The share of the progress that reading takes; naming takes the rest.
constexpr double kReading = 0.7;
constexpr std::int64_t kProgressSteps = 1000;

KeepGoing Reporting(WorkControl& control, double from, double share) {
  return [&control, from, share](double part) {
    control.setProgress(static_cast<std::int64_t>((from + share * part) * kProgressSteps), kProgressSteps);
    return !control.stopRequested();
  };
}

// Hands the scratch tree's top-level nodes over, detached.
std::vector<std::unique_ptr<TreeNode>> TakeArrivals(ConnectionTree& scratch) {
  return scratch.takeRange(scratch.top(), 0, scratch.top()->childCount());
}

}  // namespace

PreparedNodes PrepareImport(const std::string& path, const std::string& programDir, const Clock& clock,
                            const ChildNames& siblings, WorkControl& control) {
  PreparedNodes p;
  ImportResult& result = p.import;
  const std::optional<ConnectionFileFormat> format = ImportFormatOf(path);
  if (!format) {
    result.supported = false;
    result.load.message = std::string(kUnsupportedImportFormat);
    result.warnings.push_back(result.load.message);
    return p;
  }
  ConnectionTree scratch;
  result.load = *format == ConnectionFileFormat::Vnk
                    ? LoadConfiguration(scratch, path, true, -1, Reporting(control, 0.0, kReading))
                    : LoadPlfFile(scratch, path, programDir, -1, clock);
  result.load.focusNode = nullptr;  // a node of the scratch tree, never meant for the document
  p.siblingCount = siblings.count();
  const KeepGoing naming = Reporting(control, kReading, 1.0 - kReading);
  if (control.stopRequested()) {
    p.stopped = true;
    return p;
  }
  if (siblings.settled) {
    p.renamed = NameArrivalsAgainst(scratch, siblings, naming);
    p.named = true;
  } else {
    // The top node's list is named in place, by the pass over the whole tree.
    TreeNode* top = scratch.top();
    for (int r = 0; r < top->childCount() && naming(static_cast<double>(r) / top->childCount()); ++r)
      p.renamed += ResolveSiblingNames(scratch, top->child(r));
  }
  p.stopped = control.stopRequested();
  if (!p.stopped) p.roots = TakeArrivals(scratch);
  return p;
}

ImportResult PutImported(ConnectionTree& tree, PreparedNodes prepared) {
  ImportResult result = std::move(prepared.import);
  if (!result.supported || prepared.stopped) return result;
  if (!result.load.ok()) result.warnings.push_back(result.load.message);
  TreeNode* top = tree.top();
  // Named against the list as it still stands: nothing left to name there.
  const bool named = prepared.named && static_cast<std::size_t>(top->childCount()) == prepared.siblingCount;
  if (!prepared.roots.empty()) tree.insertRange(top, top->childCount(), std::move(prepared.roots));
  if (named) ConnectionTree::markChildNamesResolved(top);
  result.renamed = prepared.renamed + ResolveSiblingNames(tree, top);
  if (std::string m = RenamedMessage(result.renamed); !m.empty()) result.warnings.push_back(std::move(m));
  result.documentModified = true;
  return result;
}

PreparedNodes PreparePaste(std::string_view bytes, const ChildNames& siblings, WorkControl& control) {
  PreparedNodes p;
  ConnectionTree scratch;
  auto nodes = DeserializeNodes(bytes, scratch.memory(), Reporting(control, 0.0, kReading));
  p.stopped = control.stopRequested();
  if (p.stopped) return p;
  if (!nodes) {
    p.damaged = true;
    return p;
  }
  scratch.insertRange(scratch.top(), 0, std::move(*nodes));
  p.siblingCount = siblings.count();
  p.renamed = NameArrivalsAgainst(scratch, siblings, Reporting(control, kReading, 1.0 - kReading));
  p.named = true;
  p.stopped = control.stopRequested();
  if (!p.stopped) p.roots = TakeArrivals(scratch);
  return p;
}

std::vector<TreeNode*> PutPasted(ConnectionTree& tree, TreeNode* target, PreparedNodes prepared) {
  if (!target || prepared.stopped || prepared.roots.empty()) return {};
  const auto [parent, row] = PastePlaceFor(target);
  const std::size_t staying = static_cast<std::size_t>(parent->childCount());
  std::vector<TreeNode*> pasted;
  pasted.reserve(prepared.roots.size());
  for (const auto& n : prepared.roots) pasted.push_back(n.get());
  tree.insertRange(parent, row, std::move(prepared.roots));
  if (prepared.named && staying == prepared.siblingCount)
    ConnectionTree::markChildNamesResolved(parent);
  else
    NameArrivals(tree, pasted);  // the list changed meanwhile: named in place
  return pasted;
}

}  // namespace varnok
