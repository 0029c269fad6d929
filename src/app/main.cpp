#include <QApplication>
#include <vector>

#include "common/program_paths.h"
#include "dialogs/prompts.h"
#include "platform/executable_path.h"
#include "platform/settings_store.h"
#include "system/companion_link.h"
#include "system/startup.h"
#include "window/main_window.h"

int main(int argc, char** argv) {
  using namespace varnok::app;
  QApplication qapp(argc, argv);
  auto prompter = MakeProgramPrompter(nullptr);
  auto settings = varnok::platform::OpenVarnokSettings();

  std::vector<std::string> args(argv + 1, argv + argc);
  std::string exe = varnok::FileNameOf(QCoreApplication::applicationFilePath().toLocal8Bit().toStdString());
  const std::string programDir = varnok::platform::ExecutableDir();
  StartupOutcome start = RunStartup(args, exe, programDir, *settings, *prompter);
  if (!start.proceed) return start.exitCode;

  WindowServices services;
  services.programDir = programDir;
  MainWindow window(*prompter, nullptr, services);
  QObject::connect(&window, &MainWindow::closeCancelled,
                   [&prompter, &programDir] { EnsureCompanionRunning(programDir, *prompter); });
  window.show();
  CompanionLink link({window, *settings, *prompter, programDir});
  QObject::connect(&link, &CompanionLink::stopRequested, &window, &MainWindow::closeOnRequest);
  QObject::connect(&link, &CompanionLink::fileHandedOver, &window, &MainWindow::importHandedOverFile);
  int code = qapp.exec();
  start.editorMarker.reset();
  return code;
}
