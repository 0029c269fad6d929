#pragma once
// Each vnk subcommand lives in its own file and registers itself:
//
//   static const varnok::vnk::Registration reg{"list", [](CLI::App& app) {
//     auto* cmd = app.add_subcommand("list", "Print the tree of a configuration file");
//     ...
//     cmd->callback([=] { ... throw varnok::vnk::Failure("...") on a failed operation; });
//   }};
//
// Usage errors exit with 2, failed operations (Failure) with 1, message on stderr.
#include <CLI/CLI.hpp>
#include <functional>
#include <stdexcept>
#include <string>

namespace varnok::vnk {

using Setup = std::function<void(CLI::App&)>;

struct Registration {
  Registration(const char* name, Setup setup);
};

// A failed operation: the message goes to standard error, exit status 1.
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace varnok::vnk
