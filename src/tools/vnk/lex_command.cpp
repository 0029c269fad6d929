// vnk lex FILE: lexes a macro file line by line as the Macro editor does and
// prints one line per token, "line:start:length:Kind".
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "cvl/token_dump.h"
#include "vnk_command.h"

namespace {

std::string ReadWholeFile(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) throw varnok::vnk::Failure("Cannot open file '" + path + "': " + std::strerror(errno));
  std::string bytes;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
  if (std::ferror(file.get()))
    throw varnok::vnk::Failure("Cannot read file '" + path + "': " + std::strerror(errno));
  return bytes;
}

const varnok::vnk::Registration reg{
    "lex", [](CLI::App& app) {
      auto* cmd = app.add_subcommand("lex", "Print the highlighter's tokens of a macro file");
      auto path = std::make_shared<std::string>();
      cmd->add_option("FILE", *path, "a macro (.cvl) file")->required();
      cmd->callback([path] { std::cout << varnok::editor::DumpTokens(ReadWholeFile(*path)); });
    }};

}  // namespace
