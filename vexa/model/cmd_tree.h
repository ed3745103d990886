#pragma once
// The user's whole mapping of buttons to commands: remotes, application
// folders and commands, each command a chain of layouts of actions. The
// Win32 tree view mirrors this model; every rule lives here.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/model/app_folder.h"
#include "vexa/model/cmd_array.h"
#include "vexa/model/hold_table.h"
#include "vexa/model/tree_clipboard.h"

namespace vexa {

enum class ItemKind : int { Invalid = -1, Remote = 0, Command = 1, Folder = 2, Action = 3 };

class CCmdItem {
 public:
  ItemKind kind() const { return kind_; }
  const std::string& label() const;
  CCmdItem* parent() const { return parent_; }
  // The remote the item belongs to (itself for a remote).
  CCmdItem& remote() const;
  const std::vector<std::unique_ptr<CCmdItem>>& children() const { return children_; }
  CCmdArray* command() const { return command_.get(); }
  APPFOLDER* folder() const { return folder_.get(); }
  // Shown dimmed while held by a cut.
  bool isCut() const { return cut_; }
  bool isAncestorOf(const CCmdItem& other) const;

 private:
  friend class CCmdTree;
  CCmdItem(ItemKind kind, CCmdItem* parent) : kind_(kind), parent_(parent) {}

  ItemKind kind_;
  CCmdItem* parent_;
  std::string remoteName_;
  std::unique_ptr<CCmdArray> command_;
  std::unique_ptr<APPFOLDER> folder_;
  std::vector<std::unique_ptr<CCmdItem>> children_;
  bool cut_ = false;
};

ItemKind kindOf(const CCmdItem* item);

enum class RenameResult { Ignored, ReservedChar, Duplicate, Renamed };

inline constexpr std::string_view kMsgReservedName =
    "Please do not use reserved characters.\n\\#[]@=| are reserved for internal use.";
inline constexpr std::string_view kMsgNameExists = "This name already exists.\nPlease choose another";
inline constexpr std::string_view kNewRemoteName = "New Remote";
inline constexpr std::string_view kNewApplicationName = "New Application";
inline constexpr std::string_view kNewCommandName = "New Command";

struct MenuEntry {
  std::string label;
  bool enabled;
};

class CCmdTree {
 public:
  CCmdTree();
  CCmdTree(const CCmdTree&) = delete;
  CCmdTree& operator=(const CCmdTree&) = delete;
  ~CCmdTree();

  // Every change to the tree calls this hook (the main window's "modified").
  void setModifiedHook(std::function<void()> hook) { modified_ = std::move(hook); }
  void markModified() const {
    if (modified_) modified_();
  }

  const std::vector<std::unique_ptr<CCmdItem>>& remotes() const { return roots_; }
  bool empty() const { return roots_.empty(); }
  void clear();
  // Takes over the items of `other`, which is left empty, in place of this
  // tree's own (and its clipboard's): a load that succeeded replaces it whole.
  void replaceItems(CCmdTree& other);

  // Building. Inserted items go in label order; remotes at the top level.
  CCmdItem& insertRemote(std::string name);
  CCmdItem& insertFolder(CCmdItem& parent, std::unique_ptr<APPFOLDER> folder);
  CCmdItem& insertCommand(CCmdItem& parent, std::unique_ptr<CCmdArray> command);
  CCmdItem& appendCommand(CCmdItem& parent, std::unique_ptr<CCmdArray> command);
  // Folders first, by name with "No running applications" last, then
  // commands by ascending index (stable). `parent` null sorts the remotes.
  void sortChildren(CCmdItem* parent);

  // Lookups.
  CCmdItem* findRemote(std::string_view label) const;
  CCmdItem* findChild(const CCmdItem& parent, std::string_view label) const;  // exact
  CCmdItem* findByHotKey(uint32_t hotKey) const;
  CCmdItem* findByObject(const CCmdArray& command) const;
  CCmdItem* findByObject(const APPFOLDER& folder) const;
  APPFOLDER* appFolderOf(const CCmdArray& command) const;

  // The application folders of a remote, one per call.
  struct FolderCursor {
    size_t next = 0;
  };
  APPFOLDER* nextAppFolder(std::string_view remote, FolderCursor& cursor) const;

  // The next command of that name under the remote (or inside the named
  // folder), advancing the position; null when there is none.
  struct FindPosition {
    size_t next = 0;
  };
  CCmdArray* findCommand(std::string_view remote, std::string_view command, std::optional<std::string_view> folder,
                         FindPosition& position) const;

  // The user's operations.
  CCmdItem& newRemote();
  CCmdItem* newApplication(CCmdItem& selection);
  CCmdItem* newCommand(CCmdItem& selection);
  RenameResult rename(CCmdItem& item, std::string_view text);
  // Returns the item to select afterwards: the next sibling, else the previous.
  CCmdItem* deleteItem(CCmdItem& item);
  void copy(CCmdItem& command);
  void cut(CCmdItem& command);
  // Returns the inserted (or moved) item, null when nothing happened.
  CCmdItem* paste(CCmdItem* selection);
  // Drag and drop of a command onto an item.
  CCmdItem* drop(CCmdItem& command, CCmdItem& dropItem);
  const CTreeClipboard& clipboard() const { return clipboard_; }
  // Which commands run another when held; deleting a command drops its settings.
  CHoldTable& holds() { return holds_; }
  const CHoldTable& holds() const { return holds_; }

  // "Startup Macro" holds at most one command, always named "Startup Actions", and no folders.
  bool isStartupMacro(const CCmdItem& item) const;
  bool canTakeCommand(const CCmdItem& target) const;
  std::vector<MenuEntry> contextMenu(const CCmdItem* item) const;

  // "Switch all command layouts simultaneously": turns the flag on and, when
  // asked, pads every command of the folder to the largest layout count.
  void switchLayoutsTogether(CCmdItem& folderItem, bool addMissingLayouts);

  template <typename Visit>
  void forEachItem(Visit&& visit) const {
    std::vector<const CCmdItem*> stack;
    for (auto it = roots_.rbegin(); it != roots_.rend(); ++it) stack.push_back(it->get());
    while (!stack.empty()) {
      const CCmdItem* item = stack.back();
      stack.pop_back();
      visit(*item);
      for (auto it = item->children_.rbegin(); it != item->children_.rend(); ++it) stack.push_back(it->get());
    }
  }

 private:
  std::vector<std::unique_ptr<CCmdItem>>& siblingsOf(CCmdItem* parent);
  const std::vector<std::unique_ptr<CCmdItem>>& siblingsOf(const CCmdItem* parent) const;
  CCmdItem& insertSorted(CCmdItem* parent, std::unique_ptr<CCmdItem> item);
  std::unique_ptr<CCmdItem> detach(CCmdItem& item);
  bool siblingHas(const CCmdItem* parent, std::string_view label, const CCmdItem* except = nullptr) const;
  std::string uniqueChildName(const CCmdItem* parent, std::string_view base) const;
  // The name a command gets when it is created, pasted or dropped under `target`.
  std::string commandNameUnder(const CCmdItem& target, std::string_view wanted) const;
  CCmdItem* pasteTarget(CCmdItem* selection) const;
  CCmdItem* moveCommand(CCmdItem& command, CCmdItem& target, const CCmdItem* after);
  std::unique_ptr<CCmdItem> makeCommandItem(CCmdItem* parent, std::unique_ptr<CCmdArray> command);

  std::vector<std::unique_ptr<CCmdItem>> roots_;
  CTreeClipboard clipboard_;
  CHoldTable holds_;
  std::function<void()> modified_;
};

}  // namespace vexa
