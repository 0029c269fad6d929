#pragma once
// The temporary folder "Temp_CVL" of the program directory and the numbered
// files that runs write into it: "~macroC" + n + ".cvl" and "~CViniC" + n + ".ini",
// n from 1 to kMaxTempFiles.
#include <string>

namespace varnok::run {

constexpr int kMaxTempFiles = 128;

// EnsureProgramSubdir("Temp_CVL"): created when missing, empty when unavailable.
std::string TempDir();

std::string MacroTempName(int n);     // "~macroC<n>.cvl"
std::string SettingsTempName(int n);  // "~CViniC<n>.ini"

// Removes the files 1..kMaxTempFiles of earlier runs: the macro files, the
// settings files runs write, and the "~CVini<n>.ini" names of older versions.
// Nothing else in the folder is touched. Returns false when the folder is unavailable.
bool CleanTempFiles();

}  // namespace varnok::run
