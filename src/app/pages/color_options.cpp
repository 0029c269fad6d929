#include "pages/color_options.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>

#include "model/connection_tree.h"
#include "pages/colors_page.h"
#include "pages/connection_pages.h"
#include "pages/macro_page.h"
#include "pages/page_cycle.h"
#include "pages/popup_page.h"
#include "pages/settings_page.h"
#include "platform/program_places.h"
#include "properties/color_set.h"

namespace varnok::app {

namespace {

// A screen colour R + G*256 + B*65536.
QColor ScreenColor(std::uint32_t value) {
  return QColor(static_cast<int>(value & 0xff), static_cast<int>((value >> 8) & 0xff),
                static_cast<int>((value >> 16) & 0xff));
}

}  // namespace

ColorOptions::ColorOptions(Context context, std::string emulatorDir, std::string programDir, QObject* parent)
    : QObject(parent),
      context_(context),
      emulatorDir_(std::move(emulatorDir)),
      programDir_(std::move(programDir)) {
  context_.pages.colors().setSources(*this, emulatorDir_);
  connect(&context_.cycle, &PageCycle::editorColorsDue, this, &ColorOptions::showEditorColors);
  connect(&context_.settings, &SettingsPage::colorSupportClicked, this, &ColorOptions::colorSupportClicked);
  connect(&context_.settings, &SettingsPage::colorsInEditorClicked, this, [this] {
    showEditorColors();
    emit refreshRequested();
  });
}

bool ColorOptions::sameBackground() const { return context_.settings.sameBackground(); }

std::string ColorOptions::newConnectionColors() const {
  return properties::DefaultColorString(
      platform::EmulatorDirFor(programDir_, context_.settings.emulatorDir()));
}

std::optional<std::string_view> ColorOptions::parentColors() const {
  const TreeNode* shown = context_.cycle.shownNode();
  if (!shown || !shown->parent() || !shown->parent()->parent()) return std::nullopt;
  return std::string_view(shown->parent()->data().Colors);
}

void ColorOptions::colorSupportClicked() {
  ColorsPage& colors = context_.pages.colors();
  // The other pages tell whether a connection is shown; the Colors page
  // follows them, covered while colour support is off whatever is shown.
  if (context_.settings.colorSupportDisabled()) {
    context_.pages.coverColors(QString::fromLatin1(kColorSupportDisabled));
  } else if (context_.pages.macro().showsConnection()) {
    colors.uncover();
    colors.resync();
  } else {
    context_.cycle.ShowNodeInPages();  // the caption of what is selected
  }
  showEditorColors();
  emit refreshRequested();
}

void ColorOptions::showEditorColors() {
  MacroPage& macro = context_.pages.macro();
  if (context_.settings.colorsInEditor() && !context_.settings.colorSupportDisabled()) {
    // The stored colours, not unapplied edits of the Colors page.
    const TreeNode* shown = context_.cycle.shownNode();
    const properties::EditorColorPair pair =
        properties::EditorColors(shown ? std::string_view(shown->data().Colors) : "", emulatorDir_);
    macro.useConnectionColors(ScreenColor(pair.text), ScreenColor(pair.background));
  } else {
    macro.useHighlighter(context_.pages.popup().editor().paper());
  }
}

}  // namespace varnok::app
