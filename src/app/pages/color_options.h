#pragma once
// The colour options of the Settings page at work: "Disable color support"
// covers the Colors page (or shows it again, in step with the live set), and
// "Connection colors in Macro editor" decides how the Macro editor looks: the
// shown connection's stored Normal colours without highlighting and gutter,
// or the highlighter and the gutter on the Popup editor's background.
#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace varnok::app {

class ConnectionPages;
class PageCycle;
class SettingsPage;

class ColorOptions : public QObject {
  Q_OBJECT
 public:
  // The objects of the window this class works with.
  struct Context {
    SettingsPage& settings;
    ConnectionPages& pages;
    PageCycle& cycle;
  };
  ColorOptions(Context context, std::string programDir, std::function<void()> requestRefresh,
               QObject* parent = nullptr);

  // Gives the Macro editor the look the options ask for; run after Apply,
  // before a connection's macro is loaded and after a refused focus change.
  void showEditorColors();

 private:
  void colorSupportClicked();
  std::optional<std::string_view> parentColors() const;

  Context context_;
  std::string programDir_;
  std::function<void()> requestRefresh_;
};

}  // namespace varnok::app
