#include "window/recent_files_menu.h"

#include <QAction>
#include <QMenu>

#include "common/program_paths.h"

namespace varnok::app {

RecentFilesMenu::RecentFilesMenu(QMenu& menu, QAction& before, QObject* parent)
    : QObject(parent), menu_(menu), before_(before) {}

void RecentFilesMenu::show(const std::vector<std::string>& files) {
  if (built_ && files == shown_) return;
  built_ = true;
  shown_ = files;
  for (QAction* a : actions_) {
    menu_.removeAction(a);
    a->deleteLater();
  }
  actions_.clear();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string path = files[i];
    const QString text =
        QStringLiteral("&%1  %2").arg(i + 1).arg(QString::fromLocal8Bit(FileNameOf(path).c_str()));
    auto* action = new QAction(text, &menu_);
    action->setObjectName(QStringLiteral("MRU%1").arg(i + 1));
    action->setData(QString::fromLocal8Bit(path.c_str()));
    connect(action, &QAction::triggered, this, [this, path] { emit chosen(path); });
    menu_.insertAction(&before_, action);
    actions_.append(action);
  }
  if (!files.empty()) actions_.append(menu_.insertSeparator(&before_));
}

}  // namespace varnok::app
