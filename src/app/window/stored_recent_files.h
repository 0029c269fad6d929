#pragma once
// The document's recent-file list as the settings key keeps it: read when
// this is made, written back when it goes (with the window).
#include "document/recent_files.h"
#include "pages/app_settings.h"
#include "platform/settings_store.h"

namespace varnok::app {

class StoredRecentFiles {
 public:
  StoredRecentFiles(RecentFiles& files, platform::SettingsStore& store) : files_(files), store_(store) {
    files_.assign(ReadRecentFiles(store_));
  }
  ~StoredRecentFiles() { store_.write(RecentFileWrites(files_.files())); }
  StoredRecentFiles(const StoredRecentFiles&) = delete;
  StoredRecentFiles& operator=(const StoredRecentFiles&) = delete;

 private:
  RecentFiles& files_;
  platform::SettingsStore& store_;
};

}  // namespace varnok::app
