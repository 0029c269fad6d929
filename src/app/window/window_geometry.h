#pragma once
// The window's geometry against its stored settings: the screen the stored
// values are clamped to, putting them on the window, and the tree that
// narrows when the pages cannot give way any more.
#include <optional>

#include "pages/app_settings.h"

class QMainWindow;
class QSplitter;
class QWidget;

namespace varnok::app {

// The screen's areas and the window's width, for LoadAppSettings.
// `hasCommandLineParameter` nullopt: from the application's arguments.
LoadContext ScreenContext(const QMainWindow& window, std::optional<bool> hasCommandLineParameter);

// Position, size, tree width and maximised state from `settings`.
void ApplyGeometry(QMainWindow& window, QSplitter& splitter, QWidget& tree, const AppSettings& settings);

// The tree gives way, down to its least width, when the pages cannot.
void NarrowTreeToFit(QSplitter& splitter, const QWidget& tree, const QWidget& pages);

}  // namespace varnok::app
