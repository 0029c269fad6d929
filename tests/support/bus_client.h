#pragma once
// A client of the message bus that talks to a receiver's socket directly,
// byte by byte if it likes, as a slow or hostile process of the same user may.
#include <string>

namespace varnok::test {

// Connects to the first socket in `runtimeDir` whose name begins with
// `prefix` ("bus-" for any receiver, "bus-<pid>-" for one process's);
// the connected descriptor, -1 when there is none.
int ConnectToBusSocket(const std::string& runtimeDir, const std::string& prefix = "bus-");

}  // namespace varnok::test
