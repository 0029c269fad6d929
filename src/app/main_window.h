#pragma once
#include <QMainWindow>
#include <string>

namespace varnok::app {

class Prompter;

// The editor's one window. Its creation sequence, document and pages grow
// here; start-up and the companion messages live in startup.* and
// companion_link.*.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(Prompter& prompter, QWidget* parent = nullptr);

  // Caption: "Varnokc Configuration - [" + name or "Noname.VNK" + "*" when modified + "]".
  void UpdateCaption(bool modified);
  bool isDocumentModified() const { return modified_; }
  const std::string& currentFile() const { return currentFile_; }

 private:
  Prompter& prompter_;
  std::string currentFile_;
  bool modified_ = false;
};

}  // namespace varnok::app
