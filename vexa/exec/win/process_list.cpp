#include "vexa/exec/win/process_list.h"

namespace vexa::exec {

namespace {

// Without either way of enumerating, every application counts as not running.
class CNoProcessList final : public IProcessList {
 public:
  const char* name() const override { return "none"; }
  ProcessSearch find(std::string_view, WindowOperation*) override { return {}; }
};

}  // namespace

std::unique_ptr<IProcessList> chooseProcessList() {
  if (auto list = makeToolhelpProcessList()) return list;
  if (auto list = makeProcessStatusList()) return list;
  return std::make_unique<CNoProcessList>();
}

}  // namespace vexa::exec
