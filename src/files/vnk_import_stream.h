#pragma once
// "Import connection ..." from one .VNK file into another without a tree:
// the bytes ImportConnections and SaveConfiguration give for a tree opened
// from `file` with `source` imported, produced record by record. Memory
// holds the names of the sibling lists open along the current path only,
// whatever the files' sizes.
//
// Both files are read twice: the first pass counts the records (the count
// comes first in the file), finds any damage before a byte is written, and
// notes the lists with a line feed in a name (they are compared as one text,
// see SiblingNamer).
#include <functional>
#include <string>
#include <string_view>

#include "files/vnk_file.h"

namespace varnok {

struct StreamedImport {
  LoadResult file;    // how `file` was read
  LoadResult source;  // how `source` was read
  int renamed = 0;    // names changed by the naming rules, in either file's lists
  bool ok() const { return file.ok() && source.ok(); }
};

// False when a file cannot be read (the result says which and why; nothing
// reached the sink then, unless a file changed between the passes) or when
// the sink returned false (the result ok).
bool ProduceImportedConfiguration(const std::string& file, const std::string& source, StreamedImport& result,
                                  const std::function<bool(std::string_view)>& sink);

}  // namespace varnok
