#pragma once
// The "Macro" page: the macro editor with line numbers, and below it the box
// "Start logging when connection established".
#include <QColor>

#include "pages/connection_page.h"

class QCheckBox;
class QsciScintilla;

namespace varnok::app {

class CvlHighlighter;
class GutterWidthFollower;

class MacroPage : public ConnectionPage {
  Q_OBJECT
 public:
  explicit MacroPage(int editorPointSize, QWidget* parent = nullptr);

  void load(const rVTNodeData& record) override;
  void commit(rVTNodeData& record) const override;
  void clear() override;
  QVariant state() const override;
  void restoreState(const QVariant& state) override;

  QsciScintilla& editor() const { return *macroEditor_; }
  // The editor's text is empty after trimming.
  bool isMacroEmpty() const;
  bool hasSelection() const;
  // "Start logging when connection established" as it stands.
  bool startLogging() const;
  // Selects from the start of the text through the end of the caret's line,
  // the caret staying on that line; the whole text with the caret on the
  // last line.
  void selectToCaretLine();

  void coverWithLogging(const QString& caption);
  void uncoverWithLogging();

  // The editor's two looks. With the highlighter: the macro language
  // highlighted, line numbers shown, on `background` (the Popup editor's).
  // With connection colours: no highlighting, no line numbers, the text in
  // `text` on `background`. The page starts with the highlighter.
  void useHighlighter(const QColor& background);
  void useConnectionColors(const QColor& text, const QColor& background);
  bool usesHighlighter() const { return usesHighlighter_; }
  CvlHighlighter& highlighter() const { return *highlighter_; }

 private:
  QsciScintilla* macroEditor_ = nullptr;
  QCheckBox* loggingBox_ = nullptr;
  QWidget* loggingPanel_ = nullptr;
  CvlHighlighter* highlighter_ = nullptr;
  GutterWidthFollower* gutter_ = nullptr;
  QColor caretColor_;
  bool usesHighlighter_ = false;
  bool usesConnectionColors_ = false;
  QColor textColor_;
};

}  // namespace varnok::app
