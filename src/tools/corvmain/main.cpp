// Stand-in for the terminal emulator: takes /F=<settings file> and
// /M=<macro file>. With CORVMAIN_RECORD set it appends what it got as one JSON
// line and ends; otherwise it shows the macro in the settings' Normal colours.
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "platform/safe_write.h"
#include "terminal_colors.h"

namespace {

std::string ArgValue(const std::vector<std::string>& args, const std::string& prefix) {
  for (const auto& a : args)
    if (a.size() >= prefix.size() && strncasecmp(a.c_str(), prefix.c_str(), prefix.size()) == 0)
      return a.substr(prefix.size());
  return {};
}

std::string Contents(const std::string& path) {
  std::string bytes;
  if (path.empty() || !varnok::platform::ReadWholeFile(path, bytes)) return {};
  return bytes;
}

int Record(const char* recordPath, const std::vector<std::string>& args) {
  nlohmann::json argv = nlohmann::json::array();
  for (const auto& a : args) argv.push_back(varnok::ToUtf8Lenient(a));
  char cwd[4096] = {};
  if (!::getcwd(cwd, sizeof cwd - 1)) cwd[0] = 0;
  nlohmann::json line = {{"argv", argv},
                         {"cwd", varnok::ToUtf8Lenient(cwd)},
                         {"settings", varnok::ToUtf8Lenient(Contents(ArgValue(args, "/F=")))},
                         {"macro", varnok::ToUtf8Lenient(Contents(ArgValue(args, "/M=")))}};
  std::ofstream out(recordPath, std::ios::app);
  out << line.dump() << "\n";
  return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (const char* record = std::getenv("CORVMAIN_RECORD"); record && *record) return Record(record, args);

  QApplication app(argc, argv);
  std::string settingsPath = ArgValue(args, "/F=");
  std::string macroPath = ArgValue(args, "/M=");
  QPlainTextEdit view;
  view.setReadOnly(true);
  view.setWindowTitle(QStringLiteral("Corvane - %1").arg(QString::fromLocal8Bit(macroPath.c_str())));
  view.setFont(QFont(QStringLiteral("Monospace"), 10));
  auto colors = varnok::corvmain::NormalColors(settingsPath);
  QPalette pal = view.palette();
  pal.setColor(QPalette::Text, QColor(colors.text[0], colors.text[1], colors.text[2]));
  pal.setColor(QPalette::Base, QColor(colors.background[0], colors.background[1], colors.background[2]));
  view.setPalette(pal);
  std::string macro = Contents(macroPath);
  view.setPlainText(macroPath.empty()
                        ? QStringLiteral("(no macro file given)")
                        : QString::fromLocal8Bit(macro.data(), static_cast<qsizetype>(macro.size())));
  view.resize(720, 440);
  view.show();
  return app.exec();
}
