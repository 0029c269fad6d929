#include <QApplication>

#include "main_window.h"
#include "prompts.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  auto prompter = varnok::app::MakeProgramPrompter(nullptr);
  varnok::app::MainWindow window(*prompter);
  window.show();
  return qapp.exec();
}
