#include "platform/memory_tuning.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace varnok::platform {

void UseHugePageHeap(char** argv) {
  constexpr const char* kTunable = "glibc.malloc.hugetlb=1";
  const char* current = std::getenv("GLIBC_TUNABLES");
  std::string tunables = current ? current : "";
  // Done already, or chosen otherwise by whoever started us, or tried once.
  if (tunables.find("glibc.malloc.hugetlb") != std::string::npos || std::getenv("VARNOK_HEAP_TUNED")) return;
  tunables = tunables.empty() ? kTunable : tunables + ":" + kTunable;
  if (::setenv("GLIBC_TUNABLES", tunables.c_str(), 1) != 0 || ::setenv("VARNOK_HEAP_TUNED", "1", 1) != 0)
    return;
  ::execv("/proc/self/exe", argv);
  // The restart failed: go on as we are, with the environment as it was.
  if (current)
    ::setenv("GLIBC_TUNABLES", current, 1);
  else
    ::unsetenv("GLIBC_TUNABLES");
}

}  // namespace varnok::platform
