#pragma once
// The terminal emulator's executable in the program directory.
#include <optional>
#include <string>

namespace varnok::run {

// ProgramFilePath of the emulator executable ("corvmain"; "corvmain.exe" on Windows).
std::string EmulatorExePath();

// nullopt when the emulator is present, else the error text to show:
// "CORVMAIN not found.\rPlease move varnokc into Corvane directory and restart it."
std::optional<std::string> CheckEmulatorPresent();

}  // namespace varnok::run
