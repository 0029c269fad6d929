// Feeds arbitrary bytes to the .VNK reader. Whatever it accepts must save and
// load again to the same bytes; nothing may crash, leak or over-allocate.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/vnk_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varnok;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ConnectionTree tree;
  LoadResult first = ReadConfiguration(tree, bytes, false, 2);
  if (first.focusNode && tree.absoluteIndex(first.focusNode) != 2) std::abort();
  // A second read into the same tree imports behind the first.
  ReadConfiguration(tree, bytes, true, -1);
  std::string saved = WriteConfiguration(tree);
  ConnectionTree again;
  if (!ReadConfiguration(again, saved, false).ok()) std::abort();
  if (again.count() != tree.count() || WriteConfiguration(again) != saved) std::abort();
  return 0;
}
