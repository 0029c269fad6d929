#pragma once
// The pages of the focused connection, as tabs of the page control after
// "Settings": Macro, Popup, Colors, Schedule. They hold a working copy of one
// connection; the record is only written by `commit` (Apply). Whether the
// copy holds unapplied edits ("Modified") is kept here.
#include <QObject>
#include <QString>
#include <QVariantList>
#include <array>

#include "model/node_data.h"
#include "widgets/edit_mark.h"

class QTabWidget;

namespace varnok::app {

// The Colors page's cover while colour support is disabled; it wins over
// "No connection selected" and "Multiple items selected".
inline constexpr char kColorSupportDisabled[] = "Color support is disabled";

class ColorsPage;
class ConnectionPage;
class MacroPage;
class PopupPage;
class SchedulePage;

class ConnectionPages : public QObject {
  Q_OBJECT
 public:
  // Adds the four pages to `pageControl` after whatever it holds.
  ConnectionPages(QTabWidget& pageControl, int editorPointSize);

  MacroPage& macro() const { return *macro_; }
  PopupPage& popup() const { return *popup_; }
  ColorsPage& colors() const { return *colors_; }
  SchedulePage& schedule() const { return *schedule_; }

  // Covers every page with `caption` ("No connection selected", ...).
  void cover(const QString& caption);
  // Covers only the Colors page (colour support disabled).
  void coverColors(const QString& caption);
  void uncover();

  void load(const rVTNodeData& record);
  // Macro and popup trimmed and stored, logging, colours and schedule.
  // LastUpdated and NodeType are the caller's.
  void commit(rVTNodeData& record) const;
  // Empty editors, logging checked (a new document).
  void clear();

  // The pages hold edits not yet applied. Clearing the mark (here or
  // through `modifiedMark`) ends the pages' own edit marks too.
  bool isModified() const { return modified_.isSet(); }
  void setModified(bool modified);
  EditMark& modifiedMark() { return modified_; }

  // "Ln. <line>, Col. <column>" of the macro or popup editor that has the
  // focus; empty when neither has it.
  QString focusedEditorCaret() const;

  // Everything the pages show, for putting it back after a refused focus change.
  QVariantList state() const;
  void restoreState(const QVariantList& state);

 signals:
  // The user edited a page.
  void edited();
  // A page's state changed without an edit: the commands' states may follow.
  void refreshRequested();

 private:
  std::array<ConnectionPage*, 4> all() const;
  void endPageEdits();

  MacroPage* macro_ = nullptr;
  PopupPage* popup_ = nullptr;
  ColorsPage* colors_ = nullptr;
  SchedulePage* schedule_ = nullptr;
  EditMark modified_;
};

}  // namespace varnok::app
