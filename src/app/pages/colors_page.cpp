#include "pages/colors_page.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <utility>

#include "editor/editor_setup.h"
#include "widgets/wrapping_buttons.h"

namespace varnok::app {

namespace {

constexpr std::array<const char*, 3> kAttributeNames = {"Normal", "Bold", "Blink"};
constexpr std::array<const char*, 3> kBarNames = {"S1", "S2", "S3"};
constexpr std::array<const char*, 3> kBarLabelNames = {"lRed", "lGreen", "lBlue"};
constexpr std::array<const char*, 3> kBarPrefixes = {"R: ", "G: ", "B: "};
constexpr std::array<const char*, 3> kSampleNames = {"pSampleNormal", "pSampleBold", "pSampleBlink"};

QColor Triple(const properties::ColorSet& set, properties::ColorAttribute attribute,
              properties::ColorPart part) {
  const std::size_t at = properties::ColorSet::index(attribute, part, 0);
  return QColor(set.values[at], set.values[at + 1], set.values[at + 2]);
}

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

void CopyBackground(properties::ColorSet& set, properties::ColorAttribute from) {
  const std::size_t source = properties::ColorSet::index(from, properties::ColorPart::Background, 0);
  for (int a = 0; a < 3; ++a) {
    const std::size_t target = properties::ColorSet::index(static_cast<properties::ColorAttribute>(a),
                                                           properties::ColorPart::Background, 0);
    for (std::size_t c = 0; c < 3; ++c) set.values[target + c] = set.values[source + c];
  }
}

void SwapParts(properties::ColorSet& set, properties::ColorAttribute attribute) {
  const std::size_t text = properties::ColorSet::index(attribute, properties::ColorPart::Text, 0);
  const std::size_t background = properties::ColorSet::index(attribute, properties::ColorPart::Background, 0);
  for (std::size_t c = 0; c < 3; ++c) std::swap(set.values[text + c], set.values[background + c]);
}

}  // namespace

ColorsPage::ColorsPage(QWidget* parent) : ConnectionPage("TS3", "TS3Panel", parent) {
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(8, 8, 8, 8);
  // Controls above the samples: the page stays readable on a narrow window.
  layout->addWidget(buildControls());
  layout->addSpacing(6);
  layout->addWidget(buildSamples());
  layout->addSpacing(6);
  sameBackgroundButton_ =
      Named(new WrappingPushButton(QStringLiteral("Set current background for Normal, Bold and Blink")),
            "bSameBkgrColor");
  reverseButton_ = Named(new QPushButton(QStringLiteral("Reverse colors")), "bReverse");
  parentColorsButton_ = Named(new QPushButton(QStringLiteral("Set parent's colors")), "bParentColors");
  for (QPushButton* button : {sameBackgroundButton_, reverseButton_, parentColorsButton_})
    layout->addWidget(button, 0, Qt::AlignLeft);
  layout->addStretch(1);
  setContent(content);

  connect(schemaList_, &QComboBox::activated, this, &ColorsPage::schemaChosen);
  connect(attributeList_, &QComboBox::activated, this, [this] {
    resync();
    emit refreshRequested();
  });
  for (QRadioButton* button : {textButton_, backgroundButton_})
    connect(button, &QRadioButton::clicked, this, [this] {
      resync();
      emit refreshRequested();
    });
  for (int channel = 0; channel < 3; ++channel)
    connect(bars_[channel], &QScrollBar::valueChanged, this,
            [this, channel](int value) { barMoved(channel, value); });
  connect(reverseButton_, &QPushButton::clicked, this, &ColorsPage::reverse);
  live_ = {};
  properties::ParseColorString(properties::ColorSchemas[0].colors, live_);
  resync();
}

QWidget* ColorsPage::buildControls() {
  auto* box = new QWidget;
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  schemaList_ = Named(new QComboBox, "CBSchema");
  for (const properties::ColorSchema& schema : properties::ColorSchemas)
    schemaList_->addItem(QString::fromLatin1(schema.caption));
  attributeList_ = Named(new QComboBox, "CB");
  for (const char* name : kAttributeNames) attributeList_->addItem(QString::fromLatin1(name));
  attributeList_->setCurrentIndex(0);
  // The lists may be narrower than their longest caption on a small window.
  for (QComboBox* list : {schemaList_, attributeList_}) {
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(8);
  }
  grid->addWidget(new QLabel(QStringLiteral("Color schema:")), 0, 0);
  grid->addWidget(schemaList_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Attribute:")), 1, 0);
  grid->addWidget(attributeList_, 1, 1);

  auto* parts = new QHBoxLayout;
  textButton_ = Named(new QRadioButton(QStringLiteral("Text")), "RB3");
  backgroundButton_ = Named(new QRadioButton(QStringLiteral("Background")), "RB4");
  textButton_->setChecked(true);
  parts->addWidget(textButton_);
  parts->addWidget(backgroundButton_);
  parts->addStretch(1);
  grid->addLayout(parts, 2, 1);

  for (int channel = 0; channel < 3; ++channel) {
    barLabels_[channel] = Named(new QLabel, kBarLabelNames[channel]);
    // Wide enough for "G: 255" in any font.
    barLabels_[channel]->setMinimumWidth(
        barLabels_[channel]->fontMetrics().horizontalAdvance(QStringLiteral("G: 2555")));
    auto* bar = Named(new QScrollBar(Qt::Horizontal), kBarNames[channel]);
    bar->setRange(0, 255);
    bar->setPageStep(20);
    // Right and Up raise the value, as on any slider (a scroll bar's keys
    // are inverted by default).
    bar->setInvertedControls(false);
    bar->setSingleStep(1);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setMinimumWidth(60);
    bars_[channel] = bar;
    grid->addWidget(barLabels_[channel], 3 + channel, 0);
    grid->addWidget(bar, 3 + channel, 1);
  }
  grid->setColumnStretch(1, 1);
  return box;
}

QWidget* ColorsPage::buildSamples() {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(6);
  for (int attribute = 0; attribute < 3; ++attribute) {
    auto* sample =
        Named(new QLabel(QString::fromLatin1(kAttributeNames[attribute])), kSampleNames[attribute]);
    QFont sampleFont = EditorFont(font().pointSize() + 2);
    sampleFont.setBold(attribute == static_cast<int>(properties::ColorAttribute::Bold));
    sample->setFont(sampleFont);
    sample->setAlignment(Qt::AlignCenter);
    sample->setAutoFillBackground(true);
    sample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    sample->setMinimumHeight(sample->fontMetrics().height() * 2);
    sample->setMinimumWidth(sample->fontMetrics().horizontalAdvance(sample->text()) + 16);
    sample->setProperty("attribute", attribute);
    sample->installEventFilter(this);
    samples_[attribute] = sample;
    row->addWidget(sample, 1);
  }
  return box;
}

properties::ColorAttribute ColorsPage::attribute() const {
  return static_cast<properties::ColorAttribute>(std::max(0, attributeList_->currentIndex()));
}

properties::ColorPart ColorsPage::part() const {
  return backgroundButton_->isChecked() ? properties::ColorPart::Background : properties::ColorPart::Text;
}

void ColorsPage::load(const rVTNodeData& record) {
  ScopedFlag scope(loadingFlag());
  live_ = properties::ColorSetOrDefault(record.Colors, programDir_);
  resync();
  setEdited(false);
}

void ColorsPage::commit(rVTNodeData& record) const { record.Colors = properties::FormatColorString(live_); }

void ColorsPage::clear() {
  ScopedFlag scope(loadingFlag());
  properties::ParseColorString(properties::DefaultColorString(programDir_), live_);
  resync();
  setEdited(false);
}

QVariant ColorsPage::state() const { return QString::fromStdString(properties::FormatColorString(live_)); }

void ColorsPage::restoreState(const QVariant& state) {
  properties::ParseColorString(state.toString().toStdString(), live_);
  resync();
}

void ColorsPage::resync() {
  const properties::ColorAttribute selected = attribute();
  for (int a = 0; a < 3; ++a)
    samples_[a]->setCursor(a == static_cast<int>(selected) ? Qt::ArrowCursor : Qt::PointingHandCursor);
  {
    ScopedFlag scope(positioning_);
    for (int channel = 0; channel < 3; ++channel)
      bars_[channel]->setValue(live_.values[properties::ColorSet::index(selected, part(), channel)]);
  }
  showColorSet();
}

void ColorsPage::showColorSet() {
  const std::string colors = properties::FormatColorString(live_);
  schemaList_->setCurrentIndex(-1);
  for (std::size_t row = 0; row < properties::ColorSchemas.size(); ++row)
    if (colors == properties::ColorSchemas[row].colors) schemaList_->setCurrentIndex(static_cast<int>(row));
  for (int a = 0; a < 3; ++a) {
    const auto attr = static_cast<properties::ColorAttribute>(a);
    QPalette palette = samples_[a]->palette();
    palette.setColor(QPalette::Window, Triple(live_, attr, properties::ColorPart::Background));
    palette.setColor(QPalette::WindowText, Triple(live_, attr, properties::ColorPart::Text));
    samples_[a]->setPalette(palette);
  }
  for (int channel = 0; channel < 3; ++channel)
    barLabels_[channel]->setText(QString::fromLatin1(kBarPrefixes[channel]) +
                                 QString::number(bars_[channel]->value()));
}

void ColorsPage::changed() {
  showColorSet();
  userEdited();
}

void ColorsPage::schemaChosen(int row) {
  if (row < 0 || row >= static_cast<int>(properties::ColorSchemas.size())) return;
  properties::ParseColorString(properties::ColorSchemas[static_cast<std::size_t>(row)].colors, live_);
  // The bars follow the new colours at once, so that they never show
  // values the samples do not have.
  resync();
  changed();
}

void ColorsPage::barMoved(int channel, int value) {
  if (positioning_ || isLoading()) return;
  live_.values[properties::ColorSet::index(attribute(), part(), channel)] = static_cast<std::uint8_t>(value);
  if (part() == properties::ColorPart::Background && sources_ && sources_->sameBackground())
    CopyBackground(live_, attribute());
  changed();
}

void ColorsPage::copyBackgroundToAll() {
  CopyBackground(live_, attribute());
  changed();
}

void ColorsPage::reverse() {
  if (sources_ && sources_->sameBackground()) {
    for (int a = 0; a < 3; ++a) SwapParts(live_, static_cast<properties::ColorAttribute>(a));
  } else {
    SwapParts(live_, attribute());
  }
  resync();
  changed();
}

void ColorsPage::takeParentColors() {
  const std::optional<std::string_view> parent = sources_ ? sources_->parentColors() : std::nullopt;
  if (!parent) return;
  live_ = properties::ColorSetOrDefault(*parent, programDir_);
  resync();
  changed();
}

bool ColorsPage::backgroundChosen() const { return part() == properties::ColorPart::Background; }

bool ColorsPage::backgroundsAllSame() const {
  const QColor normal = Triple(live_, properties::ColorAttribute::Normal, properties::ColorPart::Background);
  return normal == Triple(live_, properties::ColorAttribute::Bold, properties::ColorPart::Background) &&
         normal == Triple(live_, properties::ColorAttribute::Blink, properties::ColorPart::Background);
}

bool ColorsPage::differsFromParent() const {
  const std::optional<std::string_view> parent = sources_ ? sources_->parentColors() : std::nullopt;
  return parent && properties::FormatColorString(live_) != *parent;
}

void ColorsPage::selectSample(int attribute) {
  if (attribute == attributeList_->currentIndex()) return;
  attributeList_->setCurrentIndex(attribute);
  resync();
  attributeList_->setFocus(Qt::MouseFocusReason);
  emit refreshRequested();
}

bool ColorsPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease)
    if (auto* sample = qobject_cast<QLabel*>(watched); sample && sample->property("attribute").isValid())
      selectSample(sample->property("attribute").toInt());
  return ConnectionPage::eventFilter(watched, event);
}

}  // namespace varnok::app
