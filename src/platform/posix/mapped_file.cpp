#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace varnok {

MappedFile::~MappedFile() { close(); }

void MappedFile::close() {
  if (data_) ::munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
}

std::string MappedFile::open(const std::string& path) {
  close();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return path + ": " + std::strerror(errno);
  struct stat st {};
  int err = 0;
  if (::fstat(fd, &st) != 0)
    err = errno;
  else if (S_ISDIR(st.st_mode))
    err = EISDIR;
  else if (!S_ISREG(st.st_mode))
    err = EINVAL;
  if (!err && st.st_size > 0) {
    void* p =
        ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (p == MAP_FAILED) {
      err = errno;
    } else {
      data_ = p;
      size_ = static_cast<std::size_t>(st.st_size);
      ::madvise(p, size_, MADV_SEQUENTIAL);
    }
  }
  ::close(fd);
  return err ? path + ": " + std::strerror(err) : std::string();
}

}  // namespace varnok
