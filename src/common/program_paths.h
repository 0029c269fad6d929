#pragma once
// Paths in the program directory (the directory of the running executable,
// which is also the emulator's directory). The directory is a value handed
// in by the caller: the running program takes it from
// platform::ExecutableDir() once, tests use a temporary folder.
#include <string>

namespace varnok {

// `programDir` joined with `name`, exactly one separator between them.
std::string ProgramFilePath(const std::string& programDir, const std::string& name);

// The name the desktop shows for a file: its file name; the path itself when
// it has none (also when the file does not exist).
std::string DisplayName(const std::string& path);

// ProgramFilePath(programDir, name), created when missing. Empty when it
// cannot be had; then `reason`, when given, receives the system's reason.
std::string EnsureProgramSubdir(const std::string& programDir, const std::string& name,
                                std::string* reason = nullptr);

bool FileExists(const std::string& path);

// The last path component ("C:\a\b.vnk" and "/a/b.vnk" both give "b.vnk").
std::string FileNameOf(const std::string& path);

}  // namespace varnok
