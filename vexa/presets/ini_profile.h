#pragma once
// The application profile kept in a private profile (INI) file instead of
// the registry; values are written as decimal text.
#include "vexa/model/app_profile.h"
#include "vexa/codec/ini_file.h"

namespace vexa {

class CIniProfile : public IAppProfile {
 public:
  explicit CIniProfile(CIniFile& file) : file_(file) {}

  int readInt(std::string_view section, std::string_view entry, int fallback) const override {
    return file_.getInt(section, entry, fallback);
  }
  bool writeInt(std::string_view section, std::string_view entry, int value) override {
    file_.setInt(section, entry, value);
    return true;
  }
  // Sections are flat in a file: the section and those named below it go.
  void deleteTree(std::string_view section) override;

 private:
  CIniFile& file_;
};

}  // namespace vexa
