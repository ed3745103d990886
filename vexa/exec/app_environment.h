#pragma once
// What the engine needs to know about the running system, so that the
// decisions can be made (and tested) without it.
#include <string>
#include <string_view>

namespace vexa {

class APPFOLDER;

class IAppEnvironment {
 public:
  virtual ~IAppEnvironment() = default;
  // Whether a process of the application (file name already expanded) runs.
  // A run may answer from the process list it collected before when
  // `useCachedList` is set.
  virtual bool isRunning(std::string_view fileName, bool useCachedList) = 0;
  // The folder's "Application must be the foreground window" test.
  virtual bool passesForegroundTest(const APPFOLDER& folder) = 0;
  // Environment variables expanded; the text unchanged when that fails.
  virtual std::string expand(std::string_view fileName) = 0;
};

}  // namespace vexa
