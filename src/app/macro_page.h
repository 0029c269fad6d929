#pragma once
// The "Macro" page: the macro editor with line numbers, and below it the box
// "Start logging when connection established".
#include "connection_page.h"

class QCheckBox;
class QsciScintilla;

namespace varnok::app {

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
  // Selects from the start of the text through the end of the caret's line
  // (its line break included); the whole text with the caret on the last line.
  void selectToCaretLine();

  void coverWithLogging(const QString& caption);
  void uncoverWithLogging();

 private:
  QsciScintilla* macroEditor_ = nullptr;
  QCheckBox* loggingBox_ = nullptr;
  QWidget* loggingPanel_ = nullptr;
};

}  // namespace varnok::app
