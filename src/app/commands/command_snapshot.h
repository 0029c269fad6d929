#pragma once
// Fills the enabling rules' snapshot from the window's widgets.
#include "commands/command_rules.h"

class QTabWidget;
class QTreeView;

namespace varnok::app {

class ConnectionPages;
class ConnectionTreeModel;
class SettingsPage;

struct SnapshotSources {
  QTreeView& tree;
  ConnectionTreeModel& model;
  QTabWidget& pageControl;
  const SettingsPage& settingsPage;
  const ConnectionPages& pages;
};

CommandSnapshot TakeSnapshot(const SnapshotSources& sources, bool documentModified);

}  // namespace varnok::app
