#pragma once
// Writes that go straight into a file instead of through a temporary one
// beside it: a run's file made afresh, a line appended to a log. Neither
// follows a symbolic link at the path, nor waits on a FIFO or device.
#include <string>
#include <string_view>

#include "platform/safe_write.h"

namespace varnok::platform {

// Makes `path` anew for this user alone (0600) and writes `bytes` into it:
// whatever is at the path first is unlinked (a link goes, its target stays
// untouched), then the file is created exclusively (O_CREAT|O_EXCL|O_NOFOLLOW),
// so nothing that appears meanwhile is written through. On failure the file
// is removed again. For the temporary files of runs, in a private folder.
WriteResult WriteNewPrivateFile(const std::string& path, std::string_view bytes);

// Appends `bytes` to the regular file `path`, created 0600 when missing. A
// link, a FIFO, a device or a folder at the path is refused with a message
// naming it ("<path>: is a symbolic link, not a regular file"), without
// waiting and without writing anything.
WriteResult AppendToFile(const std::string& path, std::string_view bytes);

}  // namespace varnok::platform
