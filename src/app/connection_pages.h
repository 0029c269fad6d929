#pragma once
// The pages of the focused connection: "Macro" (Memo1 and the logging box),
// "Popup" (Memo2), "Colors" and "Schedule". Each has a cover panel that hides
// the page's controls while no single connection is shown. The pages hold a
// working copy of one connection; the record is only written by Apply.
#include <QObject>
#include <QString>
#include <string>

#include "model/node_data.h"

class QCheckBox;
class QLabel;
class QStackedWidget;
class QTabWidget;
class QWidget;
class QsciScintilla;

namespace varnok::app {

// What the pages hold of a connection, captured before a question so that a
// refused focus change can put it back.
struct PageContents {
  QString macro;
  QString popup;
  bool logging = false;
  std::string colors;
  std::string schedule;
};

class ConnectionPages : public QObject {
  Q_OBJECT
 public:
  // Adds the four tabs to `pg` after whatever it holds.
  ConnectionPages(QTabWidget& pg, int editorPointSize);

  QsciScintilla* memo1 = nullptr;  // macro
  QsciScintilla* memo2 = nullptr;  // popup
  QCheckBox* cbLogSession = nullptr;
  QWidget *ts1 = nullptr, *ts2 = nullptr, *ts3 = nullptr, *ts4 = nullptr;

  // Covers every page with `caption` ("No connection selected", ...).
  void cover(const QString& caption);
  // Covers only the colours page (colour support disabled).
  void coverColors(const QString& caption);
  void uncover();
  bool macroPageShowsConnection() const;

  // Loads the record's texts (only where they differ from what is shown),
  // logging flag, colours and schedule.
  void load(const rVTNodeData& record);
  // Writes the pages into `record`: macro and popup trimmed and stored,
  // logging, colours and schedule. LastUpdated and NodeType are the caller's.
  void store(rVTNodeData& record) const;
  // Empties the editors, checks logging (New).
  void clear();

  PageContents capture() const;
  void restore(const PageContents& contents);

 private:
  QStackedWidget* addCoveredTab(QTabWidget& pg, const char* tabName, const char* title, const char* coverName,
                                QWidget* content);
  QStackedWidget *stack1_ = nullptr, *stack2_ = nullptr, *stack3_ = nullptr, *stack4_ = nullptr;
  QLabel *cover1_ = nullptr, *cover2_ = nullptr, *cover3_ = nullptr, *cover4_ = nullptr;
  QWidget* logPanel_ = nullptr;  // TS1bPanel
  // Colours and schedule pass through until their pages edit them.
  std::string colors_;
  std::string schedule_;
};

}  // namespace varnok::app
