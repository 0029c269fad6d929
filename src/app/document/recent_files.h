#pragma once
// The recent-file list of the File menu: at most four paths, most recent first.
#include <string>
#include <vector>

namespace varnok::app {

class RecentFiles {
 public:
  static constexpr std::size_t kCapacity = 4;

  void assign(std::vector<std::string> files);
  const std::vector<std::string>& files() const { return files_; }
  // Moves the path to the top (adding it when missing) and drops entries beyond four.
  void putOnTop(const std::string& path);
  void remove(const std::string& path);

 private:
  std::vector<std::string> files_;
};

}  // namespace varnok::app
