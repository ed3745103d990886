#pragma once
// The command tree as the layout selector and the popup see it: commands
// by identity (their first layout), looked up afresh on every use.
#include <string>

#include "vexa/osd/layout_selector.h"

namespace vexa {
class CCmdTree;
class CCmdArray;
class APPFOLDER;
class CCmdItem;
}  // namespace vexa

namespace vexa::osd::win {

struct FoundCommand {
  CCmdArray* command = nullptr;  // the first layout
  APPFOLDER* folder = nullptr;   // the folder it belongs to, if any
  std::string remote;
};

FoundCommand findCommand(const CCmdTree& tree, const void* identity);

class CTreeSelectorCommands : public ISelectorCommands {
 public:
  void setTree(const CCmdTree* tree) { m_tree = tree; }
  std::optional<SelectorCommand> find(const void* identity) const override;

 private:
  const CCmdTree* m_tree = nullptr;
};

// Makes layout `layout` active, with every command of the folder when the
// folder switches its layouts together. False when the command lacks it.
bool activateLayout(const CCmdTree& tree, const FoundCommand& found, size_t layout);

}  // namespace vexa::osd::win
