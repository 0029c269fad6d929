#pragma once
// "About Varnok" and the licence window ("Freeware License Agreement"): the
// program's name, version and build, links to the maker's pages (opened with
// the desktop's opener), the credits of the components it is built on, and
// the terms of use, which any key closes.
#include <QDialog>
#include <string>

namespace varnok::app {

// "Version " + major + "." + minor + "  (Release " + release + ")" from a
// "major.minor.release[.build]" version text; 99999.99999 and release 0 when
// it cannot be read.
QString VersionLine(std::string_view version);

class LicenceWindow : public QDialog {
  Q_OBJECT
 public:
  explicit LicenceWindow(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class AboutWindow : public QDialog {
  Q_OBJECT
 public:
  explicit AboutWindow(QWidget* parent = nullptr);

 signals:
  // A link was clicked: the desktop's opener shows `url`.
  void linkClicked(const std::string& url);
};

}  // namespace varnok::app
