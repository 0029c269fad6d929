#pragma once
// One page of the focused connection (Macro, Popup, Colors, Schedule): its
// controls, and a cover panel that hides them while no single connection is
// shown. A page holds a working copy of one connection: `load` fills it from
// the record without marking anything, `commit` writes it back, and a user's
// edit emits `edited()`.
#include <QVariant>
#include <QWidget>

#include "model/node_data.h"
#include "widgets/scoped_flag.h"

class QLabel;
class QStackedWidget;

namespace varnok::app {

class ConnectionPage : public QWidget {
  Q_OBJECT
 public:
  virtual void load(const rVTNodeData& record) = 0;
  virtual void commit(rVTNodeData& record) const = 0;
  // Empties the page (a new document).
  virtual void clear() {}
  // What the page shows, for putting it back after a refused focus change.
  virtual QVariant state() const = 0;
  virtual void restoreState(const QVariant& state) = 0;

  // The user changed something since the last load or commit.
  bool isEdited() const { return edited_; }
  void setEdited(bool edited) { edited_ = edited; }

  void cover(const QString& caption);
  void uncover();
  bool showsConnection() const;

 signals:
  void edited();

 protected:
  // `tabName`: the page's object name ("TS1"); `coverName`: its cover's ("TS1Panel").
  ConnectionPage(const char* tabName, const char* coverName, QWidget* parent = nullptr);
  void setContent(QWidget* content);
  // A user's edit: marks the page, unless the program is loading it.
  void userEdited();

  // Set while the program fills the controls: ScopedFlag scope(loadingFlag());
  bool& loadingFlag() { return loading_; }
  bool isLoading() const { return loading_; }

 private:
  QStackedWidget* stack_ = nullptr;
  QLabel* cover_ = nullptr;
  bool edited_ = false;
  bool loading_ = false;
};

}  // namespace varnok::app
