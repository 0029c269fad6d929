#pragma once
// The window while the document reads or writes its tree: the hourglass, the
// window's loading state (no tracking, no refresh) and no repaint of the tree
// view. Nested uses count; the top node is shown open afterwards.
#include <QObject>

namespace varnok::app {

class ConnectionTreeModel;
class Document;
class ConnectionTreeView;

class BusyState : public QObject {
  Q_OBJECT
 public:
  struct Context {
    Document& document;
    ConnectionTreeView& view;
    ConnectionTreeModel& model;
    bool& loading;
  };
  explicit BusyState(Context context, QObject* parent = nullptr);

 private:
  void begin();
  void end();

  Context context_;
  int depth_ = 0;
  bool wasLoading_ = false;
};

}  // namespace varnok::app
