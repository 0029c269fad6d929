#pragma once
// The "MultiStartInterval" setting as every program reads it.
#include <string>

namespace varnok {

// The start interval of several runs in seconds, from the setting's text (or
// the Settings page's spin editor): a text that is no whole number counts as
// 5; the result lies in 2..60.
int RunDelaySeconds(const std::string& text);

}  // namespace varnok
