#include "window/start_document.h"

#include <filesystem>

#include "common/program_paths.h"
#include "dialogs/prompts.h"
#include "document/document.h"
#include "platform/program_places.h"
#include "platform/settings_names.h"
#include "platform/settings_store.h"
#include "run/temp_files.h"

namespace varnok::app {

StartDocument::StartDocument(Context context, QObject* parent) : QObject(parent), context_(context) {
  timer_.setSingleShot(true);
  timer_.setInterval(500);
  connect(&timer_, &QTimer::timeout, this, &StartDocument::ask);
}

void StartDocument::open(const std::string& lastFile, std::int32_t& nodeIndex) {
  pending_ = false;
  const std::string param = readParamName();
  const std::string& file = param.empty() || !lastFile.empty() ? lastFile : param;
  context_.document.setNodeIndexToFocus(nodeIndex);
  if (!file.empty() && FileExists(file)) context_.document.load(file);
  nodeIndex = context_.document.nodeIndexToFocus();
  // The very file already open (a double-click on one's own configuration) is not imported into itself.
  std::error_code ec;
  const bool sameFile =
      !param.empty() && !lastFile.empty() && std::filesystem::equivalent(param, lastFile, ec);
  if (!param.empty() && !lastFile.empty() && !sameFile) pending_ = true;
  if (!param.empty() && (lastFile.empty() || sameFile)) clearParamName();
}

void StartDocument::askLater() {
  if (pending_) timer_.start();
}

std::string StartDocument::readParamName() { return platform::ParamName.read(context_.store); }

void StartDocument::clearParamName() { platform::ParamName.write(context_.store, std::string()); }

void StartDocument::ask() {
  timer_.stop();
  pending_ = false;
  const std::string path = readParamName();
  if (!path.empty() && FileExists(path)) {
    const PromptAnswer a =
        context_.prompter.ask(PromptKind::Confirmation, PromptButtons::YesNo,
                              "Do you want to import file " + DisplayName(path) + " into " + "Varnokc" + "?");
    if (a == PromptAnswer::Yes) context_.document.importFile(path);
    run::RemoveHandOverCopy(platform::ThisProgramPlaces(context_.programDir, {}), path);
  }
  clearParamName();
}

}  // namespace varnok::app
