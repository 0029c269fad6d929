#include "dialogs/about_window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/version.h"

namespace varnok::app {

namespace {

const char* const kProductPage = "https://www.zelmora.example/varnok";
const char* const kForum = "https://forum.zelmora.example/varnok";
const char* const kMaker = "https://www.zelmora.example";

// The terms of use, one paragraph each.
const char* const kLicence[] = {
    "Varnok (the configuration editor Varnokc and the tray program) is freeware. You may use it free of "
    "charge, at home and at work, on as many computers as you like.",
    "You may copy the program and pass it on, provided that you pass it on complete and unchanged, and "
    "that you charge nothing for it beyond the cost of the medium.",
    "You may not sell the program, rent it out, or bundle it with a product that is sold, without the "
    "written permission of the maker.",
    "You may not change, decompile or disassemble the program, except where the law allows it in spite of "
    "this agreement.",
    "The program is provided as it is, without warranty of any kind, express or implied, including the "
    "warranties of merchantability and fitness for a particular purpose.",
    "The maker is not liable for any damage arising from the use of the program or from being unable to "
    "use it, including lost data, lost profits and the interruption of business.",
    "Connection macros may hold user names and passwords. Keeping them safe, and the files the program "
    "writes, is the responsibility of the user.",
    "Using the program means accepting this agreement. If you do not accept it, remove the program from "
    "your computer.",
};

// A label that reads as a link: the link colour, underlined only while the
// mouse is over it, the hand cursor; a click opens it.
class LinkLabel : public QLabel {
 public:
  LinkLabel(const QString& text, std::function<void()> open, QWidget* parent)
      : QLabel(text, parent), open_(std::move(open)) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Link));
    setPalette(colours);
    underline(false);
  }

 protected:
  void enterEvent(QEnterEvent* event) override {
    QLabel::enterEvent(event);
    underline(true);
  }
  void leaveEvent(QEvent* event) override {
    QLabel::leaveEvent(event);
    underline(false);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && open_) open_();
  }

 private:
  void underline(bool on) {
    QFont shown = font();
    shown.setUnderline(on);
    setFont(shown);
  }
  std::function<void()> open_;
};

}  // namespace

QString VersionLine(std::string_view version) {
  int parts[3] = {99999, 99999, 0};
  const QStringList numbers =
      QString::fromLatin1(version.data(), static_cast<qsizetype>(version.size())).split(QLatin1Char('.'));
  bool ok = numbers.size() >= 2;
  int read[3] = {0, 0, 0};
  for (int i = 0; ok && i < 3 && i < numbers.size(); ++i) {
    read[i] = numbers[i].toInt(&ok);
    ok = ok && read[i] >= 0 && read[i] <= 65535;
  }
  if (ok) std::copy(std::begin(read), std::end(read), std::begin(parts));
  return QStringLiteral("Version %1.%2  (Release %3)").arg(parts[0]).arg(parts[1]).arg(parts[2]);
}

LicenceWindow::LicenceWindow(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog) {
  setObjectName(QStringLiteral("LicenseForm"));
  setWindowTitle(QStringLiteral("FREEWARE LICENSE AGREEMENT"));
  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(panel);
  auto* title = new QLabel(QStringLiteral("Freeware License Agreement"), panel);
  QFont big = title->font();
  big.setBold(true);
  big.setPointSize(big.pointSize() + 2);
  title->setFont(big);
  auto* close = new QToolButton(panel);
  close->setObjectName(QStringLiteral("CloseButton"));
  close->setText(QStringLiteral("\u2715"));
  close->setToolTip(QStringLiteral("Close"));
  close->setAutoRaise(true);
  connect(close, &QToolButton::clicked, this, &QDialog::accept);
  auto* head = new QHBoxLayout;
  head->addWidget(title, 1);
  head->addWidget(close);
  head->setContentsMargins(0, 0, 18 - layout->contentsMargins().right(), 0);
  layout->addLayout(head);
  for (const char* paragraph : kLicence) {
    auto* text = new QLabel(QString::fromUtf8(paragraph), panel);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignJustify | Qt::AlignTop);
    layout->addWidget(text);
  }
  layout->addStretch(1);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(panel);
  resize(520, sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void LicenceWindow::keyPressEvent(QKeyEvent*) { accept(); }

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About Varnok"));
  auto* layout = new QVBoxLayout(this);
  auto* head = new QHBoxLayout;
  auto* picture = new QLabel(this);
  picture->setPixmap(QIcon(QStringLiteral(":/icons/tree0_computer.svg")).pixmap(32, 32));
  auto* product = new QLabel(QStringLiteral("Varnok"), this);
  QFont big = product->font();
  big.setPointSize(big.pointSize() + 8);
  big.setBold(true);
  product->setFont(big);
  head->addWidget(picture);
  head->addWidget(product, 1);
  layout->addLayout(head);
  auto* version = new QLabel(VersionLine(VersionText()), this);
  version->setObjectName(QStringLiteral("VersionLabel"));
  layout->addWidget(version);
  auto* build = new QLabel(QStringLiteral("Build: 29-Mar-2005."), this);
  build->setObjectName(QStringLiteral("BuildLabel"));
  layout->addWidget(build);
  layout->addSpacing(8);

  auto addLink = [&](const QString& caption, const char* url, const char* name) {
    layout->addWidget(new QLabel(caption, this));
    auto* link = new LinkLabel(
        QLatin1String(url), [this, url] { emit linkClicked(url); }, this);
    link->setObjectName(QLatin1String(name));
    layout->addWidget(link);
  };
  addLink(QStringLiteral("Varnok web page:"), kProductPage, "ProductLink");
  addLink(QStringLiteral("Support forum:"), kForum, "ForumLink");
  addLink(QStringLiteral("Zelmora:"), kMaker, "MakerLink");
  layout->addSpacing(8);
  layout->addWidget(new QLabel(QStringLiteral("Terms of use and distribution:"), this));
  auto* licence = new LinkLabel(
      QStringLiteral("Freeware License Agreement"),
      [this] {
        LicenceWindow window(this);
        window.exec();
      },
      this);
  licence->setObjectName(QStringLiteral("LicenseLink"));
  layout->addWidget(licence);
  layout->addSpacing(8);
  auto* credits =
      new QLabel(QStringLiteral("Built with:\n"
                                "Qt 6 (The Qt Company), under the GNU Lesser General Public License v3\n"
                                "QScintilla (Riverbank Computing), under the GNU General Public License v3"),
                 this);
  credits->setObjectName(QStringLiteral("CreditsLabel"));
  credits->setWordWrap(true);
  layout->addWidget(credits);
  layout->addStretch(1);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  resize(360, 433);
}

}  // namespace varnok::app
