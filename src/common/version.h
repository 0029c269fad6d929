#pragma once
// The program's version text ("1.0.0"), taken from the project's version.
#include <string_view>

namespace varnok {

std::string_view VersionText();

}  // namespace varnok
