#pragma once
// "tunerbox.log": what the setup wizard measured, beside the plug-in, so that
// a card the wizard could not make sense of can be diagnosed.
#include <string>
#include <string_view>

namespace vexa::tunerbox {

// The plug-in's own path with its extension replaced by ".log".
std::string logPathFor(std::string_view modulePath);

class CSetupLog {
 public:
  explicit CSetupLog(std::string path) : path_(std::move(path)) {}
  const std::string& path() const { return path_; }
  // The first measurement starts the file afresh.
  bool create(std::string_view text) const { return put(text, false); }
  bool append(std::string_view text) const { return put(text, true); }

 private:
  bool put(std::string_view text, bool append) const;
  std::string path_;
};

}  // namespace vexa::tunerbox
