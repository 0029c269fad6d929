#pragma once
// The colour options of the Settings page at work: "Disable color support"
// covers the Colors page (or shows it again, in step with the live set), and
// "Connection colors in Macro editor" decides how the Macro editor looks: the
// shown connection's stored Normal colours without highlighting and gutter,
// or the highlighter and the gutter on the Popup editor's background.
#include <QObject>
#include <optional>
#include <string>
#include <string_view>

#include "pages/colors_page.h"
#include "tree/tree_editing.h"

namespace varnok::app {

class ConnectionPages;
class PageCycle;
class SettingsPage;

class ColorOptions : public QObject, public ColorSources, public NewConnectionColors {
  Q_OBJECT
 public:
  // The objects of the window this class works with.
  struct Context {
    SettingsPage& settings;
    ConnectionPages& pages;
    PageCycle& cycle;
  };
  // `emulatorDir`: the emulator's folder at start, whose settings give the
  // pages' default colours; `programDir`: where the emulator folder set on the
  // Settings page is looked up, for the colours of new connections.
  ColorOptions(Context context, std::string emulatorDir, std::string programDir, QObject* parent = nullptr);

  // Gives the Macro editor the look the options ask for; run after Apply,
  // before a connection's macro is loaded and after a refused focus change
  // (the page cycle asks for it).
  void showEditorColors();

  bool sameBackground() const override;
  std::optional<std::string_view> parentColors() const override;
  std::string newConnectionColors() const override;

 signals:
  void refreshRequested();

 private:
  void colorSupportClicked();

  Context context_;
  std::string emulatorDir_;
  std::string programDir_;
};

}  // namespace varnok::app
