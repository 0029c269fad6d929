#include "platform/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace varnok::platform {
namespace {

std::string Refusal(const std::string& path, const std::string& label, const struct stat& st) {
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
  return label + " folder '" + path +
         "' is not safe to use: " + (S_ISLNK(st.st_mode) ? "a symbolic link, " : "") + "owned by uid " +
         std::to_string(st.st_uid) + ", mode " + mode + ".";
}

PrivateFolder CannotCreate(int err) {
  PrivateFolder out;
  out.reason = std::strerror(err);
  return out;
}

}  // namespace

PrivateFolder EnsurePrivateFolder(const std::string& path, const std::string& label) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno == ENOENT) {
    // The parents are ordinary folders of the user's; only the last one is private.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (ec) return CannotCreate(ec.value());
    ::mkdir(path.c_str(), 0700);
  }
  // Whatever the mkdir said (most often: it exists), what is there now decides.
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return CannotCreate(errno);
  if (S_ISLNK(st.st_mode) || (S_ISDIR(st.st_mode) && st.st_uid != ::geteuid())) {
    PrivateFolder out;
    out.refusal = Refusal(path, label, st);
    return out;
  }
  if (!S_ISDIR(st.st_mode)) return CannotCreate(ENOTDIR);
  if ((st.st_mode & 07777) != 0700 && ::chmod(path.c_str(), 0700) != 0) return CannotCreate(errno);
  PrivateFolder out;
  out.path = path;
  return out;
}

}  // namespace varnok::platform
