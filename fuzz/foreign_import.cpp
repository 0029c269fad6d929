// libFuzzer target for the readers of other tools' files: the first byte
// picks an OpenSSH config, a PuTTY session, a registry export or a CSV
// table, the rest is the text. Beyond not crashing, every forest must be
// consistent: connections named (none a separator), levels equal to the
// depth, and the count the reader reports.
//
//   build-fuzz/fuzz/fuzz_foreign_import fuzz/corpus/foreign_import -max_total_time=600
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/csv_connections.h"
#include "files/import_export.h"
#include "files/putty_sessions.h"
#include "files/ssh_config.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varnok;
  if (size == 0) return 0;
  // No emulator settings and no home: nothing is read per input but Include's absolute paths.
  static const ForeignOptions options{"/nonexistent/program-dir", "/nonexistent/home", 500};
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  ForeignImport found;
  switch (data[0] % 4) {
    case 0:
      found = SshConfigTree(ParseSshConfigText(text, "fuzz", options.home), options);
      break;
    case 1:
      found = PuttyTree({ParseSessionFile(text, "fuzz", "fuzz")}, options);
      break;
    case 2:
      found = PuttyTree(ParseRegistryExport(text, "fuzz"), options);
      break;
    default:
      found = ReadCsvText(text, "fuzz", options);
      break;
  }
  Check(found.connections <= options.maxConnections);
  ConnectionTree tree;
  const int connections = found.connections;
  AppendImported(tree, std::move(found.roots));
  Check(tree.count() == connections + 1);
  for (const TreeNode* n = ConnectionTree::next(tree.top()); n; n = ConnectionTree::next(n))
    Check(!n->name().empty() && !n->isSeparator() && n->data().Level == ConnectionTree::depth(n));
  return 0;
}
