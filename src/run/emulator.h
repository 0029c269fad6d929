#pragma once
// What a run needs of the terminal emulator: its executable in the emulator
// folder, its settings file "corvane.ini" beside it, the settings copy a run hands it
// (with the connection's colours and the background switched off) and its
// command line.
#include <optional>
#include <string>
#include <vector>

#include "common/ini_file.h"
#include "platform/ini_file_io.h"
#include "platform/program_places.h"
#include "properties/color_set.h"

namespace varnok::run {

// "corvmain" ("corvmain.exe" on Windows) and its path in the emulator folder.
std::string EmulatorExeName();
std::string EmulatorExePath(const std::string& emulatorDir);

// nullopt when the emulator is present, else the error text to show. A
// portable program folder that is also the emulator's (no "EmulatorDir"
// set) gives
//   "CORVMAIN not found.\rPlease move varnokc into Corvane directory and restart it."
// any other place names the folder looked in:
//   "CORVMAIN not found in /opt/corvane.\rSet the emulator folder on the Settings page."
std::optional<std::string> CheckEmulatorPresent(const platform::ProgramPlaces& places);

// Whether the start-up check may end the editor when the emulator is
// missing: only where the emulator belongs in the portable program folder.
// Elsewhere the editor starts, so that the folder can be set.
bool EmulatorBelongsInProgramFolder(const platform::ProgramPlaces& places);

// The emulator's own settings file, "corvane.ini" in the emulator folder.
std::string EmulatorIniPath(const std::string& emulatorDir);

// Writes the colour set into section "Corvane": "VTColor" (values 0..5),
// "VTBoldColor" (6..11), "VTBlinkColor" (12..17), six decimals joined by ",".
void ApplyIniColors(IniFile& ini, const properties::ColorSet& colors);
// Writes "BGEnable" = "off" into section "BG".
void ApplyIniBackgroundOff(IniFile& ini);

// The same on a file; nothing happens when no file exists at `path`.
platform::WriteResult WriteIniColors(const std::string& path, const properties::ColorSet& colors);
platform::WriteResult WriteIniBackgroundOff(const std::string& path);

// Writes the settings file of a run: the emulator's settings file copied line
// by line with CR LF after every line, the colours written into it unless
// `colors` is null, the background switched off. The file is made afresh for
// the user alone (WriteNewPrivateFile). A failure names the file that could
// not be read or written.
platform::WriteResult WriteRunSettings(const std::string& emulatorIni, const std::string& settingsFile,
                                       const properties::ColorSet* colors);

// The emulator's arguments: "/F=<settings>" and "/M=<macro>".
std::vector<std::string> EmulatorArguments(const std::string& settingsFile, const std::string& macroFile);

}  // namespace varnok::run
