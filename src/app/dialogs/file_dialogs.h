#pragma once
#include <QStringList>
#include <memory>

#include "dialogs/prompts.h"

class QWidget;

namespace varnok::app {

// The platform's open and save dialogs. A filter in the form
// "Varnok file (*.VNK)|*.VNK|All files (*.*)|*.*" becomes the dialog's list of
// filters; patterns match in either letter case.
std::unique_ptr<FileDialogs> MakeQtFileDialogs(QWidget* parent);

// "Desc (*.VNK)|*.VNK|All (*.*)|*.*" -> {"Desc (*.VNK *.vnk)", "All (*)"}.
QStringList QtNameFilters(const std::string& filter);

}  // namespace varnok::app
