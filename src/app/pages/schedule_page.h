#pragma once
// The "Schedule" page: "Execute according to schedule", the five time-table
// fields (minute, hour, day of the month, month, day of the week) with their
// typing filter and "*" rule, and "Verify values". Apply stores the fields,
// verified, as "=" + the five fields separated by blanks; the companion runs
// the connection at those times.
#include <array>

#include "pages/connection_page.h"
#include "properties/schedule.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace varnok::app {

class Prompter;

class SchedulePage : public ConnectionPage {
  Q_OBJECT
 public:
  explicit SchedulePage(QWidget* parent = nullptr);
  // Where "Verify values" shows its result.
  void setPrompter(Prompter* prompter) { prompter_ = prompter; }

  void load(const rVTNodeData& record) override;
  // Verifies the fields silently (they show the stored form afterwards).
  void commit(rVTNodeData& record) const override;
  void clear() override;
  QVariant state() const override;
  void restoreState(const QVariant& state) override;

  // The five fields, in the order minute .. day of the week.
  const std::array<QLineEdit*, properties::kScheduleFieldCount>& fields() const { return fields_; }
  bool isField(const QWidget* widget) const;
  // Pastes the clipboard's text into `field` and replaces the field by its
  // verified form; marks the page edited.
  void pasteInto(QLineEdit& field);

 signals:
  // "Verify values" changed its state: the commands' states may follow.
  void refreshRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void scheduleClicked();
  // Enables the fields and "Verify values" with the check box and fills or
  // empties the fields.
  void switchFields();
  void fieldEdited(QLineEdit& field);
  // Verifies all five fields; returns the number of corrections.
  int verifyFields() const;
  void verifyClicked();
  properties::ScheduleFields texts() const;
  void setTexts(const properties::ScheduleFields& texts) const;

  Prompter* prompter_ = nullptr;
  QCheckBox* scheduleBox_ = nullptr;
  std::array<QLineEdit*, properties::kScheduleFieldCount> fields_{};
  QPushButton* verifyButton_ = nullptr;
};

}  // namespace varnok::app
