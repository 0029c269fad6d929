#pragma once
// A whole file mapped read-only into memory, for readers of large files: no
// copy and no buffer of the file's size on the heap. The bytes stay valid
// while the object lives.
//
//   MappedFile file;
//   if (std::string error = file.open(path); !error.empty()) ...  // "<path>: <reason>"
//   parse(file.bytes());
#include <string>
#include <string_view>

namespace varnok {

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the file; returns "" or the path and the system's reason.
  std::string open(const std::string& path);
  std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }

 private:
  void close();
  void* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace varnok
