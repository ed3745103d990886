#include "vexa/model/app_folder.h"

#include "vexa/base/strings.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/names.h"

namespace vexa {

APPFOLDER::APPFOLDER(std::string name)
    : name(std::move(name)), appCommand_(std::make_unique<CCmdArray>(std::string(kAppCommandPrefix))) {}

std::unique_ptr<APPFOLDER> APPFOLDER::createNew(std::string name) {
  auto folder = std::make_unique<APPFOLDER>(std::move(name));
  auto execute = std::make_unique<CMD>();
  execute->name = "Execute";
  execute->typeName = std::string(kExecuteApplication);
  folder->appCommand().appendAction(std::move(execute));
  return folder;
}

void APPFOLDER::setFileName(std::string fileName) {
  if (!fileName_.empty()) {
    for (CCmdArray* l = &appCommand_->first(); l; l = l->next())
      for (auto& action : l->actions())
        if (iequals(action->fileName, fileName_)) action->fileName = fileName;
  }
  fileName_ = std::move(fileName);
}

void APPFOLDER::replaceAppCommand(std::unique_ptr<CCmdArray> command) {
  if (command) appCommand_ = std::move(command);
}

std::string APPFOLDER::commandName() const {
  const std::string& full = appCommand_->name();
  if (full.compare(0, kAppCommandPrefix.size(), kAppCommandPrefix) == 0) return full.substr(kAppCommandPrefix.size());
  return full;
}

void APPFOLDER::setCommandName(std::string_view buttonName) {
  appCommand_->setName(std::string(kAppCommandPrefix) + std::string(buttonName));
}

std::unique_ptr<APPFOLDER> APPFOLDER::clone() const {
  auto copy = std::make_unique<APPFOLDER>(name);
  copy->index = index;
  copy->flags = flags;
  copy->windowName = windowName;
  copy->value1 = value1;
  copy->value2 = value2;
  copy->fileName_ = fileName_;
  copy->appCommand_ = appCommand_->clone();
  return copy;
}

}  // namespace vexa
