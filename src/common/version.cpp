#include "common/version.h"

namespace varnok {

std::string_view VersionText() { return VARNOK_VERSION; }

}  // namespace varnok
