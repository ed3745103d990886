#pragma once
// The variants of one command that a press by name may resolve to, copied
// from the tree on the user-interface thread, so that the run can test the
// running applications (slow) on its own thread without touching the tree.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/exec/app_environment.h"
#include "vexa/exec/command_snapshot.h"
#include "vexa/model/cmd_tree.h"

namespace vexa {

class CommandVariants {
 public:
  // The remote's application folders (each with its application command)
  // and the commands of that name in them and directly under the remote.
  static CommandVariants collect(const CCmdTree& tree, std::string_view remote, std::string_view command);

  const std::string& remote() const { return remote_; }
  const std::string& command() const { return command_; }

  // The variant that applies now, as the run's snapshot; its identity is the
  // live command's. Nothing when no variant applies.
  std::optional<CommandSnapshot> resolve(IAppEnvironment& environment) const;

 private:
  std::string remote_;
  std::string command_;
  std::unique_ptr<CCmdTree> copy_;
  std::map<const CCmdArray*, const void*> identities_;  // copied first layout -> live first layout
};

}  // namespace vexa
