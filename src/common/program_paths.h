#pragma once
// Paths in the program's own directory (the directory of the running
// executable), which is also the emulator's directory.
#include <string>

namespace varnok {

// Directory of the running executable, without a trailing separator.
std::string ProgramDir();
// Overrides the program directory (tools and tests that act for another one).
void SetProgramDir(const std::string& dir);

// ProgramDir() joined with `name`, exactly one separator between them.
std::string ProgramFilePath(const std::string& name);

// The name the desktop shows for a file: its file name; the path itself when
// it has none (also when the file does not exist).
std::string DisplayName(const std::string& path);

// ProgramFilePath(name), created when missing. Empty when it cannot be had.
std::string EnsureProgramSubdir(const std::string& name);

bool FileExists(const std::string& path);

// The last path component ("C:\a\b.vnk" and "/a/b.vnk" both give "b.vnk").
std::string FileNameOf(const std::string& path);

}  // namespace varnok
