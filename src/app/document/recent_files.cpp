#include "document/recent_files.h"

#include <algorithm>

namespace varnok::app {

void RecentFiles::assign(std::vector<std::string> files) {
  files_.clear();
  for (auto& f : files)
    if (!f.empty() && std::find(files_.begin(), files_.end(), f) == files_.end())
      files_.push_back(std::move(f));
  if (files_.size() > kCapacity) files_.resize(kCapacity);
}

void RecentFiles::putOnTop(const std::string& path) {
  remove(path);
  files_.insert(files_.begin(), path);
  if (files_.size() > kCapacity) files_.resize(kCapacity);
}

void RecentFiles::remove(const std::string& path) {
  files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
}

}  // namespace varnok::app
