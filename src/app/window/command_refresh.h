#pragma once
// When the commands' states are worked out again: at once, or while the tree
// has the focus 150 ms after the last request, so that the tree settles its
// focus first. A refresh also brings the pages up to date with the focused
// connection and shows the editor's caret position.
#include <QObject>
#include <QTimer>

#include "commands/command_rules.h"

class QTabWidget;
class QTreeView;

namespace varnok::app {

class CommandActions;
class ConnectionPages;
class ConnectionTreeModel;
class Document;
class PageCycle;
class SettingsPage;
class StatusPanels;
class TreeSelection;

class CommandRefresh : public QObject {
  Q_OBJECT
 public:
  struct Context {
    QTreeView& tree;
    ConnectionTreeModel& model;
    const TreeSelection& selection;
    QTabWidget& pageControl;
    const SettingsPage& settingsPage;
    ConnectionPages& pages;
    PageCycle& cycle;
    CommandActions& commands;
    StatusPanels& status;
    const Document& document;
    const bool& loading;  // the window fills its controls: no refresh
  };
  explicit CommandRefresh(Context context, QObject* parent = nullptr);

  void request();
  void now();
  // The window's state as the enabling rules see it.
  CommandSnapshot snapshot() const;

 private:
  Context context_;
  QTimer timer_;
};

}  // namespace varnok::app
