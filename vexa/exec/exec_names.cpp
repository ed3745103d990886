#include "vexa/exec/exec_names.h"

#include <cstdio>
#include <functional>

#include "vexa/base/strings.h"

namespace vexa {

std::string commandMutexName(std::string_view remote, std::string_view command, bool direct) {
  if (direct) return std::string(kGenericExecMutex);
  std::string name = "ExcMtx" + std::string(remote) + std::string(command);
  // A backslash would make the name a path and the creation fail.
  for (char& c : name)
    if (c == '\\') c = '/';
  if (name.size() <= kMaxKernelObjectName) return name;
  char hash[20];
  std::snprintf(hash, sizeof hash, "#%016llx",
                static_cast<unsigned long long>(std::hash<std::string>()(name)));
  name.resize(kMaxKernelObjectName - std::string_view(hash).size());
  return name + hash;
}

std::string processKey(std::string_view fileName) {
  const size_t slash = fileName.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
}

bool isModuleApplication(std::string_view fileName) {
  return fileName.size() >= 3 && iequals(fileName.substr(fileName.size() - 3), "dll");
}

bool isNoApplication(std::string_view fileName) { return fileName.empty() || iequals(fileName, "n/a"); }

}  // namespace vexa
