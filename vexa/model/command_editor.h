#pragma once
// The rules of the command editor: one command's layouts and their action
// lists, edited through a selection of positions. Windows only render it.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/model/cmd_array.h"

namespace vexa {

inline constexpr std::string_view kCommandDefinitionTitle = "Command Definition";
inline constexpr std::string_view kMsgReservedInLayoutName =
    "You have entered an invalid character for the layout name.\n\\#[]@=| are reserved for internal use.";
inline constexpr std::string_view kMsgCannotAddLayout = "Could not add layout page";
inline constexpr std::string_view kMsgCannotRemoveLayout = "Could not remove layout page";

// Actions copied or cut in the editor, with the layout they came from.
class CActionClipboard {
 public:
  enum class Mode { Empty, Copy, Cut };

  Mode mode() const { return mode_; }
  bool empty() const { return actions_.empty(); }
  const CCmdArray* source() const { return source_; }
  const std::vector<CMD*>& actions() const { return actions_; }
  bool holds(const CMD* action) const;
  bool isCut(const CMD* action) const { return mode_ == Mode::Cut && holds(action); }

  void hold(Mode mode, CCmdArray& source, std::vector<CMD*> actions);
  void forget(const CMD* action);
  // Called before a layout goes away, so no pointer into it survives.
  void forgetLayout(const CCmdArray& layout);
  void clear();

 private:
  Mode mode_ = Mode::Empty;
  CCmdArray* source_ = nullptr;
  std::vector<CMD*> actions_;
};

using Selection = std::vector<size_t>;  // ascending positions in the current layout

class CCommandEditor {
 public:
  explicit CCommandEditor(CCmdArray& command, std::function<void()> modified = {})
      : command_(&command.first()), current_(command_), modified_(std::move(modified)) {}

  CCmdArray& command() { return *command_; }
  CCmdArray& currentLayout() { return *current_; }
  void selectLayout(CCmdArray& layout) { current_ = &layout; }
  std::string title() const;
  CActionClipboard& clipboard() { return clipboard_; }

  bool canDelete(const Selection& s) const { return !s.empty(); }
  bool canEdit(const Selection& s) const { return s.size() == 1; }
  bool canMoveUp(const Selection& s) const;
  bool canMoveDown(const Selection& s) const;

  // Each returns the new selection.
  Selection moveUp(const Selection& s);
  Selection moveDown(const Selection& s);
  void deleteActions(const Selection& s);

  // A new action from the definition dialog, appended with a unique name.
  CMD& addAction(std::unique_ptr<CMD> action);
  // After the dialog changed the action at `position`: unique name, and a
  // layout switch goes to the end of the list. Returns its new position.
  size_t actionEdited(size_t position);

  // false means the editor beeps.
  bool copy(const Selection& s);
  bool cut(const Selection& s);
  bool paste();

  enum class LayoutNameResult { Ignored, ReservedChar, Renamed };
  LayoutNameResult renameLayout(std::string_view name);
  CCmdArray& addLayout();
  // The first layout cannot be removed. The page before becomes current.
  bool removeCurrentLayout();
  void setHotKey(unsigned modifiers, unsigned virtualKey);

 private:
  std::string uniqueActionName(const CCmdArray& layout, std::string_view wanted, const CMD* except) const;
  bool anyLayoutSwitch(const Selection& s) const;
  void changed();

  CCmdArray* command_;
  CCmdArray* current_;
  CActionClipboard clipboard_;
  std::function<void()> modified_;
};

}  // namespace vexa
