#pragma once
// The "Colors" page: the live colour set of the focused connection, shown as
// three sample panels and edited through a schema, an attribute, a part and
// three bars (red, green, blue). Every change ends the same way: the page is
// repainted from the live set and marked as edited; Apply writes the set back.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "pages/connection_page.h"
#include "properties/color_set.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace varnok::app {

// What the page asks of the colour options.
class ColorSources {
 public:
  virtual ~ColorSources() = default;
  // "The same background for Nomal, Bold and Blink" is on.
  virtual bool sameBackground() const = 0;
  // The stored colours of the shown connection's parent; none when the
  // parent is the top node (or nothing is shown).
  virtual std::optional<std::string_view> parentColors() const = 0;
};

class ColorsPage : public ConnectionPage {
  Q_OBJECT
 public:
  explicit ColorsPage(QWidget* parent = nullptr);
  // `programDir`: where the emulator's settings with the default colours are.
  void setSources(const ColorSources& sources, std::string programDir) {
    sources_ = &sources;
    programDir_ = std::move(programDir);
  }

  void load(const rVTNodeData& record) override;
  void commit(rVTNodeData& record) const override;
  // A new document: the default colours.
  void clear() override;
  QVariant state() const override;
  void restoreState(const QVariant& state) override;

  const properties::ColorSet& liveSet() const { return live_; }
  properties::ColorAttribute attribute() const;
  properties::ColorPart part() const;

  // Positions the bars at the selected attribute and part and repaints the
  // page; never marks it edited.
  void resync();

  // For the enabling rules of the two buttons below.
  bool backgroundChosen() const;
  bool backgroundsAllSame() const;
  bool differsFromParent() const;

  // "Set current background for Normal, Bold and Blink" and "Set parent's
  // colors": the window enables them and runs them through its commands.
  QPushButton& sameBackgroundButton() const { return *sameBackgroundButton_; }
  QPushButton& parentColorsButton() const { return *parentColorsButton_; }
  void copyBackgroundToAll();
  void takeParentColors();

 signals:
  // The page's state changed without an edit (attribute, part): the
  // commands' states may follow.
  void refreshRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildControls();
  QWidget* buildSamples();
  void schemaChosen(int row);
  void barMoved(int channel, int value);
  void reverse();
  void selectSample(int attribute);
  // Repaints schema, samples and bar labels from the live set.
  void showColorSet();
  // The live set changed by the user: repaint and mark the page edited.
  void changed();

  const ColorSources* sources_ = nullptr;
  std::string programDir_;
  properties::ColorSet live_;
  QComboBox* schemaList_ = nullptr;
  QComboBox* attributeList_ = nullptr;
  QRadioButton* textButton_ = nullptr;
  QRadioButton* backgroundButton_ = nullptr;
  std::array<QScrollBar*, 3> bars_{};
  std::array<QLabel*, 3> barLabels_{};
  std::array<QLabel*, 3> samples_{};
  QPushButton* sameBackgroundButton_ = nullptr;
  QPushButton* reverseButton_ = nullptr;
  QPushButton* parentColorsButton_ = nullptr;
  // Set while the program positions the bars: their moves are not the user's.
  bool positioning_ = false;
};

}  // namespace varnok::app
