#pragma once
// A yes/no mark that says when it changes: the pages' "unapplied edits"
// ("Modified" in the status bar), set by the pages and the commands that
// write into them, cleared by Apply and by the decisions that drop the edits.
#include <QObject>

namespace varnok::app {

class EditMark : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  bool isSet() const { return set_; }
  void set(bool on) {
    if (on == set_) return;
    set_ = on;
    emit changed(on);
  }

 signals:
  void changed(bool on);

 private:
  bool set_ = false;
};

}  // namespace varnok::app
