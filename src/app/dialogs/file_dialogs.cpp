#include "dialogs/file_dialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace varnok::app {

QStringList QtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromLocal8Bit(filter.c_str()).split(QLatin1Char('|'));
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    const qsizetype open = description.indexOf(QLatin1Char('('));
    if (open >= 0) description.truncate(open);
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      if (p == QLatin1String("*.*")) {
        patterns << QStringLiteral("*");
        continue;
      }
      patterns << p;
      if (p.toLower() != p) patterns << p.toLower();
    }
    result << description.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                  QStringLiteral(")");
  }
  return result;
}

namespace {

class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}

  std::optional<std::string> openFile(const FileDialogRequest& r) override {
    QFileDialog dialog(parent_, QString::fromLocal8Bit(r.title.c_str()));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog, r);
  }

  std::optional<std::string> saveFile(const FileDialogRequest& r) override {
    QFileDialog dialog(parent_, QString::fromLocal8Bit(r.title.c_str()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return run(dialog, r);
  }

 private:
  std::optional<std::string> run(QFileDialog& dialog, const FileDialogRequest& r) {
    dialog.setNameFilters(QtNameFilters(r.filter));
    dialog.setDefaultSuffix(QString::fromLocal8Bit(r.defaultExtension.c_str()));
    if (!r.fileName.empty()) dialog.selectFile(QString::fromLocal8Bit(r.fileName.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toLocal8Bit().toStdString();
  }

  QWidget* parent_;
};

}  // namespace

std::unique_ptr<FileDialogs> MakeQtFileDialogs(QWidget* parent) {
  return std::make_unique<QtFileDialogs>(parent);
}

}  // namespace varnok::app
