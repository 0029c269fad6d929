#include "run_delay.h"

#include <algorithm>
#include <charconv>

namespace varnok {

int RunDelaySeconds(const std::string& text) {
  std::string t = text;
  t.erase(0, t.find_first_not_of(" \t"));
  t.erase(t.find_last_not_of(" \t") + 1);
  long long value = 0;
  const char* first = t.data();
  if (!t.empty() && *first == '+') ++first;
  auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), value);
  if (t.empty() || ec != std::errc() || ptr != t.data() + t.size()) return 5;
  return static_cast<int>(std::clamp<long long>(value, 2, 60));
}

}  // namespace varnok
