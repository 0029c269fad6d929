#pragma once
// The file the window opens at start: the last one, or one handed over by a
// second start or a double-click on a .VNK file ("ParamName"). A handed-over
// file beside an open last file is imported after a question, once the
// window shows.
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <string>

namespace varnok::platform {
class SettingsStore;
}

namespace varnok::app {

class Document;
class Prompter;

class StartDocument : public QObject {
  Q_OBJECT
 public:
  struct Context {
    Document& document;
    platform::SettingsStore& store;
    Prompter& prompter;
    const std::string& programDir;
  };
  explicit StartDocument(Context context, QObject* parent = nullptr);

  // Opens `lastFile` or the handed-over file; `nodeIndex` is the stored
  // node to focus in, and comes back as the loaded file's.
  void open(const std::string& lastFile, std::int32_t& nodeIndex);
  // Asks about a handed-over file that waits, half a second later.
  void askLater();

 private:
  std::string readParamName();
  void clearParamName();
  void ask();

  Context context_;
  QTimer timer_;
  bool pending_ = false;
};

}  // namespace varnok::app
