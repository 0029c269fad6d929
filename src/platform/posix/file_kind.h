#pragma once
// How the POSIX backend names what is at a path when it is no regular file.
#include <sys/types.h>

#include <string>

namespace varnok::platform {

// "<path>: is a FIFO, not a regular file" (a folder, a symbolic link, a
// device, a socket likewise).
std::string NotRegular(const std::string& path, mode_t mode);

}  // namespace varnok::platform
