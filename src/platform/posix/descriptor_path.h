#pragma once
// Paths that name a file the process already has open: "/dev/stdout" and its
// kin, "/dev/fd/N", "/proc/self/fd/N". Following such a link leads to the
// file the descriptor was opened on, but writing a new file there would lose
// what the descriptor means (an append, a pipe, a position).
#include <string_view>

namespace varnok::platform {

// The descriptor `path` names, or -1 when it names none of them.
int DescriptorOfPath(std::string_view path);

}  // namespace varnok::platform
