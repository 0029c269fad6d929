// libFuzzer target for the .PLF reader (LoadPlfFile reads the file's bytes
// and hands them to ReadPlf). Beyond not crashing, every text it accepts must
// give a consistent tree that survives being written as .PLF and read again.
//
//   build-fuzz/fuzz/fuzz_plf_file -dict=fuzz/plf_file.dict fuzz/corpus/plf_file -max_total_time=600
#include "files/plf_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/vnk_file.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varnok;
  static const FixedClock clock({2026, 12, 8, 9, 5, 7, 42});
  // No emulator settings there: missing colours read as schema 0, with no file read per input.
  static const std::string programDir = "/nonexistent/program-dir";
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  ConnectionTree tree;
  LoadResult r = ReadPlf(tree, text, programDir, 3, clock);
  Check((r.ok() || r.status == LoadStatus::InvalidFormat) && r.nodesAdded == tree.count() - 1);
  Check(!r.focusNode || tree.absoluteIndex(r.focusNode) == 3);
  for (const TreeNode* n = ConnectionTree::next(tree.top()); n; n = ConnectionTree::next(n)) {
    Check(!n->name().empty() && n->data().Level == ConnectionTree::depth(n));
    Check(!n->isSeparator() || n->name() == kSeparatorName);
  }

  std::string plf;
  Check(WritePlfText(tree, "fuzz.plf", plf, {}, clock).ok);
  ConnectionTree again;
  ReadPlf(again, plf, programDir, -1, clock);
  Check(WriteConfiguration(again) == WriteConfiguration(tree));
  return 0;
}
