#pragma once
// An application folder: the commands below it apply while its application
// runs; its own application command starts the application.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "vexa/model/cmd_array.h"

namespace vexa {

class APPFOLDER {
 public:
  static constexpr uint32_t kDisableServer = 0x1;
  static constexpr uint32_t kMustBeForeground = 0x2;
  static constexpr uint32_t kSwitchLayoutsTogether = 0x4;
  static constexpr uint32_t kRememberLayout = 0x8;
  static constexpr uint8_t kKind = 2;

  explicit APPFOLDER(std::string name = {});
  // A folder as the user creates it: its application command holds one
  // "Execute" action of type "Execute application".
  static std::unique_ptr<APPFOLDER> createNew(std::string name);

  int32_t index = -1;
  uint32_t flags = 0;
  std::string name;
  std::string windowName;
  int32_t value1 = 0;   // stored, never interpreted
  int32_t value2 = -1;  // stored, never interpreted

  const std::string& fileName() const { return fileName_; }
  // Also replaces the old path in the application command's actions that
  // use it as their first parameter.
  void setFileName(std::string fileName);
  // Only the field; loading must not touch the actions.
  void loadFileName(std::string fileName) { fileName_ = std::move(fileName); }

  CCmdArray& appCommand() { return *appCommand_; }
  const CCmdArray& appCommand() const { return *appCommand_; }
  void replaceAppCommand(std::unique_ptr<CCmdArray> command);
  // The button name of the application command: its name after "App:".
  std::string commandName() const;
  void setCommandName(std::string_view buttonName);

  std::unique_ptr<APPFOLDER> clone() const;

 private:
  std::string fileName_;
  std::unique_ptr<CCmdArray> appCommand_;
};

}  // namespace vexa
