#include "platform/desktop_integration.h"

#include <cstdlib>
#include <filesystem>

#include "common/ini_file.h"
#include "common/program_paths.h"
#include "platform/launcher.h"
#include "platform/safe_write.h"

namespace varnok::platform {

namespace {

namespace fs = std::filesystem;

constexpr const char* kEntry = "Desktop Entry";
constexpr const char* kMimeType = "application/x-varnok";
constexpr const char* kDefaults = "Default Applications";
constexpr const char* kOldAssociation = "X-Varnok-OldAssociation";
// A name of the freedesktop icon naming scheme, present in every icon theme:
// the program directory carries no icon file of its own.
constexpr const char* kIcon = "accessories-text-editor";

std::string Home() {
  const char* home = std::getenv("HOME");
  return home ? home : "";
}

std::string ConfigHome() {
  const char* dir = std::getenv("XDG_CONFIG_HOME");
  return dir && *dir ? dir : Home() + "/.config";
}

std::string DataHome() {
  const char* dir = std::getenv("XDG_DATA_HOME");
  return dir && *dir ? dir : Home() + "/.local/share";
}

std::string AutostartFile() { return ConfigHome() + "/autostart/Varnok.desktop"; }
std::string MimeAppsFile() { return ConfigHome() + "/mimeapps.list"; }
std::string MimePackageFile() { return DataHome() + "/mime/packages/x-varnok.xml"; }
std::string DesktopFileName(const std::string& title) {
  std::string name = title;
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name + ".desktop";
}
std::string ApplicationFile(const std::string& title) {
  return DataHome() + "/applications/" + DesktopFileName(title);
}

// The program's path as the first word of a desktop entry's Exec value:
// quoted as a whole (with '"', '`', '$' and '\\' escaped inside the quotes),
// "%" doubled so that it is no field code, and then written with the escapes
// of a string value ("\\" for a backslash, "\n" and friends for control
// characters). A reader undoes the string escapes, then the quoting.
std::string ExecProgram(const std::string& path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  std::string out;
  for (char c : quoted) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Text inside an XML element or attribute.
std::string XmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

IniFile ReadIni(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return IniFile("\n");
  return IniFile::parse(bytes, "\n");
}

std::string WriteIni(const std::string& path, const IniFile& ini) {
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  WriteResult r = SafeWriteFile(path, ini.serialize());
  return r ? std::string() : r.error;
}

std::string RemoveFile(const std::string& path) {
  std::error_code ec;
  fs::remove(path, ec);
  return ec ? path + ": " + ec.message() : std::string();
}

// Tells the desktop that associations changed; a missing tool is no error.
void RefreshDesktopDatabases() {
  LaunchProgram("update-mime-database", {DataHome() + "/mime"});
  LaunchProgram("update-desktop-database", {DataHome() + "/applications"});
}

}  // namespace

bool IsRunAtLogOn(const std::string& companionPath) {
  if (!FileExists(AutostartFile())) return false;
  const IniFile ini = ReadIni(AutostartFile());
  return ini.get(kEntry, "Exec") == ExecProgram(companionPath) &&
         ini.get(kEntry, "Hidden", "false") != "true";
}

std::string SetRunAtLogOn(bool on, const std::string& companionPath) {
  if (!on) return RemoveFile(AutostartFile());
  IniFile ini("\n");
  ini.set(kEntry, "Type", "Application");
  ini.set(kEntry, "Name", "Varnok");
  ini.set(kEntry, "Comment", "Varnok tray program: schedules and connections");
  ini.set(kEntry, "Exec", ExecProgram(companionPath));
  ini.set(kEntry, "Terminal", "false");
  ini.set(kEntry, "X-GNOME-Autostart-enabled", "true");
  return WriteIni(AutostartFile(), ini);
}

bool IsVnkAssociated(const std::string& editorPath) {
  const IniFile apps = ReadIni(MimeAppsFile());
  const auto chosen = apps.get(kDefaults, kMimeType);
  if (!chosen || chosen->find('/') != std::string::npos) return false;
  const std::string desktop = DataHome() + "/applications/" + chosen->substr(0, chosen->find(';'));
  if (!FileExists(desktop)) return false;
  const std::string exec = ReadIni(desktop).get(kEntry, "Exec", "");
  return exec.rfind(ExecProgram(editorPath), 0) == 0;
}

std::string SetVnkAssociation(bool on, const std::string& editorPath, const std::string& title) {
  IniFile apps = ReadIni(MimeAppsFile());
  const std::string desktopName = DesktopFileName(title);
  std::string error;
  if (on) {
    const std::string mime =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-varnok\">\n"
        "    <comment>" +
        XmlEscaped(title + " Varnok File") +
        "</comment>\n"
        "    <glob pattern=\"*.vnk\" case-sensitive=\"false\"/>\n"
        "    <glob pattern=\"*.VNK\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    std::error_code ec;
    fs::create_directories(fs::path(MimePackageFile()).parent_path(), ec);
    if (WriteResult r = SafeWriteFile(MimePackageFile(), mime); !r) return r.error;

    IniFile entry("\n");
    entry.set(kEntry, "Type", "Application");
    entry.set(kEntry, "Name", title);
    entry.set(kEntry, "Comment", title + " Varnok File");
    entry.set(kEntry, "Exec", ExecProgram(editorPath) + " %f");
    entry.set(kEntry, "Icon", kIcon);
    entry.set(kEntry, "MimeType", std::string(kMimeType) + ";");
    entry.set(kEntry, "NoDisplay", "true");
    // An association this one replaces is kept, to be put back on removal.
    const auto previous = apps.get(kDefaults, kMimeType);
    if (previous && *previous != desktopName) entry.set(kEntry, kOldAssociation, *previous);
    if (!(error = WriteIni(ApplicationFile(title), entry)).empty()) return error;

    apps.set(kDefaults, kMimeType, desktopName);
    error = WriteIni(MimeAppsFile(), apps);
  } else {
    const auto old = ReadIni(ApplicationFile(title)).get(kEntry, kOldAssociation);
    if (apps.get(kDefaults, kMimeType) == desktopName) {
      if (old)
        apps.set(kDefaults, kMimeType, *old);
      else
        apps.removeKey(kDefaults, kMimeType);
      if (!(error = WriteIni(MimeAppsFile(), apps)).empty()) return error;
    }
    if (!(error = RemoveFile(ApplicationFile(title))).empty()) return error;
    error = RemoveFile(MimePackageFile());
  }
  RefreshDesktopDatabases();
  return error;
}

}  // namespace varnok::platform
