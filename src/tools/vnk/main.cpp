#include <iostream>
#include <map>

#include "platform/memory_tuning.h"
#include "vnk_command.h"

namespace varnok::vnk {
namespace {
std::map<std::string, Setup>& Registry() {
  static std::map<std::string, Setup> commands;
  return commands;
}
}  // namespace

Registration::Registration(const char* name, Setup setup) { Registry().emplace(name, std::move(setup)); }

}  // namespace varnok::vnk

int main(int argc, char** argv) {
  varnok::platform::UseHugePageHeap(argv);
  CLI::App app{"vnk: lists, converts, assembles and runs Varnok configurations"};
  app.require_subcommand(1);
  for (auto& [name, setup] : varnok::vnk::Registry()) setup(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  } catch (const varnok::vnk::Failure& e) {
    std::cerr << "vnk: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
