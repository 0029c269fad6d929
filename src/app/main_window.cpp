#include "main_window.h"

#include "common/program_paths.h"
#include "prompts.h"

namespace varnok::app {

MainWindow::MainWindow(Prompter& prompter, QWidget* parent) : QMainWindow(parent), prompter_(prompter) {
  setObjectName(QStringLiteral("Form1"));
  setMinimumSize(640, 490);
  setGeometry(267, 130, 648, 490);
  UpdateCaption(false);
}

void MainWindow::UpdateCaption(bool modified) {
  modified_ = modified;
  std::string name = currentFile_.empty() ? std::string("Noname.VNK") : DisplayName(currentFile_);
  std::string caption = "Varnokc Configuration - [" + name + (modified ? "*" : "") + "]";
  setWindowTitle(QString::fromLocal8Bit(caption.c_str()));
}

}  // namespace varnok::app
