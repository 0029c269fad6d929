// vnk lex FILE: lexes a macro file line by line as the Macro editor does and
// prints one line per token, "line:start:length:Kind".
#include <iostream>
#include <memory>
#include <string>

#include "cvl/token_dump.h"
#include "platform/safe_write.h"
#include "vnk_command.h"

namespace {

std::string ReadMacroFile(const std::string& path) {
  std::string bytes;
  if (varnok::platform::WriteResult r = varnok::platform::ReadWholeFile(path, bytes); !r)
    throw varnok::vnk::Failure("Cannot open file " + r.error);
  return bytes;
}

const varnok::vnk::Registration reg{
    "lex", [](CLI::App& app) {
      auto* cmd = app.add_subcommand("lex", "Print the highlighter's tokens of a macro file");
      auto path = std::make_shared<std::string>();
      cmd->add_option("FILE", *path, "a macro (.cvl) file")->required();
      cmd->callback([path] { std::cout << varnok::cvl::DumpTokens(ReadMacroFile(*path)); });
    }};

}  // namespace
