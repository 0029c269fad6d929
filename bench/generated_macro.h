#pragma once
// Realistic CVL macros for the benchmarks: log-in sequences, loops, labels,
// strings, comments and system variables, as network engineers write them.
#include <cstdio>
#include <iterator>
#include <random>
#include <string>

namespace varnok::bench {

// `lines` lines joined by CR LF, about `bytes` bytes in all: where the lines
// run short of that, some carry a trailing comment. The same seed gives the
// same text.
inline std::string GeneratedMacro(std::size_t lines, std::size_t bytes, unsigned seed = 42) {
  static const char* const kLines[] = {
      "; ******* Login to the core routers of site %d *******",
      "connect '10.%d.12.1:23 /nossh'",
      "setsync 1",
      "settitle 'Connected to edge-router-%d'",
      "wait 'ogin:' 'sername:'",
      "sendln '$user$'",
      "passwordbox 'Enter password' 'Login'",
      "sendln inputstr",
      ":retry_%d",
      "  waitln 'Password:'",
      "  if result=0 then goto :fail_%d",
      "_constr='10.%d.0.1 /ssh /2 /auth=password /user='",
      "strconcat _constr inputstr ; build the command line }",
      "  timeout = %d",
      "  sendln \"show interfaces brief | include up\"",
      "logopen 'C:\\Logs\\router%d.log' 0 1",
      "messagebox \"Connection to site %d failed\" 'Varnok'",
      "",
      "for i 1 %d",
      "  int2str s i",
      "next",
      "endif",
  };
  static const char* const kComments[] = {
      " ; the prompt differs on the older switches of rack %d",
      " ; keep this wait: the banner of the jump host is slow (%d s)",
      " ; see the change log, entry %d",
  };
  std::mt19937 rng(seed);
  std::string text;
  text.reserve(bytes + lines * 4);
  char line[256];
  for (std::size_t i = 0; i < lines; ++i) {
    const char* pattern = kLines[rng() % std::size(kLines)];
    std::snprintf(line, sizeof line, pattern, static_cast<int>(rng() % 250));
    text += line;
    // Keep the average line length on the way to `bytes`.
    while (text.size() < bytes * (i + 1) / lines) {
      std::snprintf(line, sizeof line, kComments[rng() % std::size(kComments)],
                    static_cast<int>(rng() % 250));
      text += line;
    }
    if (i + 1 < lines) text += "\r\n";
  }
  return text;
}

}  // namespace varnok::bench
