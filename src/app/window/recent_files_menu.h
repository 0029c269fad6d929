#pragma once
// The recent-file entries of the File menu ("&1  name.vnk" ... above Close,
// with a separator below them). They are rebuilt only when the list changed,
// not on every change of the document's state.
#include <QList>
#include <QObject>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace varnok::app {

class RecentFilesMenu : public QObject {
  Q_OBJECT
 public:
  // The entries go into `menu` before `before`.
  RecentFilesMenu(QMenu& menu, QAction& before, QObject* parent);

  void show(const std::vector<std::string>& files);

 signals:
  void chosen(const std::string& path);

 private:
  QMenu& menu_;
  QAction& before_;
  QList<QAction*> actions_;
  std::vector<std::string> shown_;
  bool built_ = false;
};

}  // namespace varnok::app
