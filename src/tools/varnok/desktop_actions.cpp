#include "desktop_actions.h"

#include <QProcess>
#include <QStandardPaths>
#include <filesystem>

#include "common/program_paths.h"
#include "platform/desktop_windows.h"
#include "platform/program_names.h"
#include "run/emulator.h"

namespace varnok::tray {

DesktopActions::DesktopActions(std::function<platform::ProgramPlaces()> places, Hooks hooks, QObject* parent)
    : QObject(parent), places_(std::move(places)), hooks_(std::move(hooks)) {}

void DesktopActions::record(const std::string& line) const {
  if (hooks_.record) hooks_.record(line);
}

void DesktopActions::launch(const run::Launcher& launcher, const std::string& program,
                            const std::vector<std::string>& args, const std::string& what) {
  platform::LaunchResult r = launcher(program, args);
  record("launch " + program);
  if (!r.ok) hooks_.notify("Failed to start " + what + ": " + r.error, true);
}

void DesktopActions::openConfiguration() {
  // A second start of the editor brings the running one forward.
  const std::string editor = ProgramFilePath(places_().programDir, platform::kEditorFile);
  if (!std::filesystem::exists(editor)) return hooks_.notify("File '" + editor + "' not found.", true);
  launch(hooks_.launchEditor, editor, {}, "the configuration editor");
}

void DesktopActions::startEmulator() {
  const platform::ProgramPlaces places = places_();
  if (std::optional<std::string> missing = run::CheckEmulatorPresent(places))
    return hooks_.notify(*missing, true);
  launch(hooks_.launch, run::EmulatorExePath(places.emulatorDir), {}, "the terminal emulator");
}

void DesktopActions::startLastMacro(const run::TempFilePair& last) {
  if (last.number == 0) return hooks_.notify("No macro has been run since Varnok started.", false);
  if (!std::filesystem::exists(last.macroFile))
    return hooks_.notify("The last macro file " + last.macroFile + " is gone.", true);
  const platform::ProgramPlaces places = places_();
  if (std::optional<std::string> missing = run::CheckEmulatorPresent(places))
    return hooks_.notify(*missing, true);
  launch(hooks_.launch, run::EmulatorExePath(places.emulatorDir),
         run::EmulatorArguments(last.settingsFile, last.macroFile), "the terminal emulator");
}

void DesktopActions::desktopCommand(const QString& program, const QStringList& args,
                                    const std::string& what) {
  const QString path = QStandardPaths::findExecutable(program);
  if (path.isEmpty())
    return hooks_.notify("Cannot " + what + ": this desktop has no '" + program.toStdString() + "' command.",
                         true);
  auto* process = new QProcess(this);
  connect(process, &QProcess::finished, this, [this, process, program, what](int code, QProcess::ExitStatus) {
    if (code != 0) {
      const std::string err = process->readAllStandardError().trimmed().toStdString();
      hooks_.notify("Cannot " + what + ": " + program.toStdString() + " ended with status " +
                        std::to_string(code) + (err.empty() ? "" : ": " + err),
                    true);
    }
    process->deleteLater();
  });
  connect(process, &QProcess::errorOccurred, this, [this, process, what](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) {
      hooks_.notify("Cannot " + what + ": " + process->errorString().toStdString(), true);
      process->deleteLater();
    }
  });
  record("desktop " + program.toStdString() + " " + args.join(QLatin1Char(' ')).toStdString());
  process->start(path, args);
}

void DesktopActions::showDesktop() {
  record("desktop show");
  if (!platform::ShowDesktop())
    hooks_.notify("Cannot show the desktop: the window manager offers no such call.", true);
}

void DesktopActions::startScreenSaver() {
  desktopCommand(QStringLiteral("xdg-screensaver"), {QStringLiteral("activate")}, "start the screen saver");
}

void DesktopActions::lockScreen() {
  desktopCommand(QStringLiteral("xdg-screensaver"), {QStringLiteral("lock")}, "lock the screen");
}

bool DesktopActions::canShowDesktop() { return platform::CanShowDesktop(); }

bool DesktopActions::canUseScreenSaver() {
  return !QStandardPaths::findExecutable(QStringLiteral("xdg-screensaver")).isEmpty();
}

}  // namespace varnok::tray
