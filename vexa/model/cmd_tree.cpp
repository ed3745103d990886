#include "vexa/model/cmd_tree.h"

#include <algorithm>

#include "vexa/base/strings.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/names.h"

namespace vexa {

const std::string& CCmdItem::label() const {
  switch (kind_) {
    case ItemKind::Command: return command_->name();
    case ItemKind::Folder: return folder_->name;
    default: return remoteName_;
  }
}

CCmdItem& CCmdItem::remote() const {
  const CCmdItem* remote = this;
  while (remote->parent_) remote = remote->parent_;
  return const_cast<CCmdItem&>(*remote);
}

bool CCmdItem::isAncestorOf(const CCmdItem& other) const {
  for (const CCmdItem* p = other.parent_; p; p = p->parent_)
    if (p == this) return true;
  return false;
}

ItemKind kindOf(const CCmdItem* item) { return item ? item->kind() : ItemKind::Invalid; }

CCmdTree::CCmdTree() = default;
CCmdTree::~CCmdTree() = default;

void CCmdTree::clear() {
  clipboard_.clear();
  holds_.clear();
  roots_.clear();
}

void CCmdTree::replaceItems(CCmdTree& other) {
  clear();
  roots_ = std::move(other.roots_);
  other.roots_.clear();
  holds_ = std::move(other.holds_);
  other.holds_.clear();
}

std::vector<std::unique_ptr<CCmdItem>>& CCmdTree::siblingsOf(CCmdItem* parent) {
  return parent ? parent->children_ : roots_;
}

const std::vector<std::unique_ptr<CCmdItem>>& CCmdTree::siblingsOf(const CCmdItem* parent) const {
  return parent ? parent->children_ : roots_;
}

CCmdItem& CCmdTree::insertSorted(CCmdItem* parent, std::unique_ptr<CCmdItem> item) {
  auto& siblings = siblingsOf(parent);
  item->parent_ = parent;
  const std::string& label = item->label();
  auto at = std::upper_bound(siblings.begin(), siblings.end(), label,
                             [](const std::string& l, const auto& s) { return icompare(l, s->label()) < 0; });
  return **siblings.insert(at, std::move(item));
}

std::unique_ptr<CCmdItem> CCmdTree::makeCommandItem(CCmdItem* parent, std::unique_ptr<CCmdArray> command) {
  std::unique_ptr<CCmdItem> item(new CCmdItem(ItemKind::Command, parent));
  item->command_ = std::move(command);
  return item;
}

CCmdItem& CCmdTree::insertRemote(std::string name) {
  std::unique_ptr<CCmdItem> item(new CCmdItem(ItemKind::Remote, nullptr));
  item->remoteName_ = std::move(name);
  return insertSorted(nullptr, std::move(item));
}

CCmdItem& CCmdTree::insertFolder(CCmdItem& parent, std::unique_ptr<APPFOLDER> folder) {
  std::unique_ptr<CCmdItem> item(new CCmdItem(ItemKind::Folder, &parent));
  item->folder_ = std::move(folder);
  return insertSorted(&parent, std::move(item));
}

CCmdItem& CCmdTree::insertCommand(CCmdItem& parent, std::unique_ptr<CCmdArray> command) {
  return insertSorted(&parent, makeCommandItem(&parent, std::move(command)));
}

CCmdItem& CCmdTree::appendCommand(CCmdItem& parent, std::unique_ptr<CCmdArray> command) {
  parent.children_.push_back(makeCommandItem(&parent, std::move(command)));
  return *parent.children_.back();
}

void CCmdTree::sortChildren(CCmdItem* parent) {
  auto& siblings = siblingsOf(parent);
  const auto rank = [](const CCmdItem& i) {
    if (i.kind() == ItemKind::Folder) return isSpecialFolderName(i.label()) ? 1 : 0;
    return i.kind() == ItemKind::Command ? 2 : 3;
  };
  std::stable_sort(siblings.begin(), siblings.end(), [&](const auto& a, const auto& b) {
    const int ra = rank(*a), rb = rank(*b);
    if (ra != rb) return ra < rb;
    if (ra == 0) return a->label() < b->label();
    if (ra == 2) return a->command()->index() < b->command()->index();
    return false;
  });
}

namespace {

const CCmdItem* findExact(const std::vector<std::unique_ptr<CCmdItem>>& items, std::string_view label) {
  for (const auto& i : items)
    if (i->label() == label) return i.get();
  return nullptr;
}

bool holdsExecuteClose(const CCmdArray& command) {
  for (const CCmdArray* l = &command.first(); l; l = l->next())
    for (const auto& a : l->actions())
      if (actionTypeOf(a->typeName) == ActionType::kExecuteClose) return true;
  return false;
}

}  // namespace

CCmdItem* CCmdTree::findRemote(std::string_view label) const {
  for (const auto& r : roots_)
    if (r->kind() == ItemKind::Remote && r->label() == label) return r.get();
  return nullptr;
}

CCmdItem* CCmdTree::findChild(const CCmdItem& parent, std::string_view label) const {
  return const_cast<CCmdItem*>(findExact(parent.children(), label));
}

CCmdItem* CCmdTree::findByHotKey(uint32_t hotKey) const {
  if (hotKey == 0) return nullptr;  // 0 means "no hot key"
  const CCmdItem* found = nullptr;
  forEachItem([&](const CCmdItem& item) {
    if (found) return;
    if (item.kind() == ItemKind::Command && item.command()->hotKey() == hotKey) found = &item;
    if (item.kind() == ItemKind::Folder && item.folder()->appCommand().hotKey() == hotKey) found = &item;
  });
  return const_cast<CCmdItem*>(found);
}

CCmdItem* CCmdTree::findByObject(const CCmdArray& command) const {
  const CCmdArray* first = &command.first();
  const CCmdItem* found = nullptr;
  forEachItem([&](const CCmdItem& item) {
    if (!found && item.command() == first) found = &item;
  });
  return const_cast<CCmdItem*>(found);
}

CCmdItem* CCmdTree::findByObject(const APPFOLDER& folder) const {
  const CCmdItem* found = nullptr;
  forEachItem([&](const CCmdItem& item) {
    if (!found && item.folder() == &folder) found = &item;
  });
  return const_cast<CCmdItem*>(found);
}

APPFOLDER* CCmdTree::appFolderOf(const CCmdArray& command) const {
  if (const CCmdItem* item = findByObject(command)) {
    for (const CCmdItem* p = item->parent(); p; p = p->parent())
      if (p->kind() == ItemKind::Folder) return p->folder();
    return nullptr;
  }
  const CCmdArray* first = &command.first();
  APPFOLDER* owner = nullptr;
  forEachItem([&](const CCmdItem& item) {
    if (!owner && item.folder() && &item.folder()->appCommand() == first) owner = item.folder();
  });
  return owner;
}

APPFOLDER* CCmdTree::nextAppFolder(std::string_view remote, FolderCursor& cursor) const {
  const CCmdItem* r = findRemote(remote);
  if (!r) return nullptr;
  const auto& children = r->children();
  while (cursor.next < children.size()) {
    const CCmdItem& item = *children[cursor.next++];
    if (item.kind() == ItemKind::Folder) return item.folder();
  }
  return nullptr;
}

CCmdArray* CCmdTree::findCommand(std::string_view remote, std::string_view command,
                                 std::optional<std::string_view> folder, FindPosition& position) const {
  const CCmdItem* r = findRemote(remote);
  if (!r) return nullptr;
  if (!folder) {
    const auto& children = r->children();
    while (position.next < children.size()) {
      const CCmdItem& item = *children[position.next++];
      if (item.kind() == ItemKind::Command && item.label() == command) return item.command();
      if (item.kind() == ItemKind::Folder && item.folder()->commandName() == command)
        return &item.folder()->appCommand();
    }
    return nullptr;
  }
  const CCmdItem* f = nullptr;
  for (const auto& c : r->children())
    if (c->kind() == ItemKind::Folder && c->label() == *folder) {
      f = c.get();
      break;
    }
  if (!f) return nullptr;
  // Position 0 is the folder's application command, then its children.
  if (position.next == 0) {
    position.next = 1;
    CCmdArray& app = f->folder()->appCommand();
    if (f->folder()->commandName() == command && holdsExecuteClose(app)) return &app;
  }
  const auto& children = f->children();
  while (position.next - 1 < children.size()) {
    const CCmdItem& item = *children[position.next++ - 1];
    if (item.kind() == ItemKind::Command && item.label() == command) return item.command();
  }
  return nullptr;
}

bool CCmdTree::siblingHas(const CCmdItem* parent, std::string_view label, const CCmdItem* except) const {
  for (const auto& s : siblingsOf(parent))
    if (s.get() != except && iequals(s->label(), label)) return true;
  return false;
}

std::string CCmdTree::uniqueChildName(const CCmdItem* parent, std::string_view base) const {
  return makeUniqueName(base, [&](std::string_view candidate) { return siblingHas(parent, candidate); });
}

std::string CCmdTree::commandNameUnder(const CCmdItem& target, std::string_view wanted) const {
  // The start-up remote takes one command only, so its one name cannot clash.
  if (isStartupMacro(target)) return std::string(kStartupActions);
  return uniqueChildName(&target, wanted);
}

CCmdItem& CCmdTree::newRemote() {
  CCmdItem& item = insertRemote(uniqueChildName(nullptr, kNewRemoteName));
  markModified();
  return item;
}

CCmdItem* CCmdTree::newApplication(CCmdItem& selection) {
  CCmdItem* remote = &selection.remote();
  if (remote->kind() != ItemKind::Remote || isStartupMacro(*remote)) return nullptr;
  CCmdItem& item = insertFolder(*remote, APPFOLDER::createNew(uniqueChildName(remote, kNewApplicationName)));
  markModified();
  return &item;
}

CCmdItem* CCmdTree::newCommand(CCmdItem& selection) {
  CCmdItem* target = selection.kind() == ItemKind::Command ? selection.parent() : &selection;
  if (!target || !canTakeCommand(*target)) return nullptr;
  auto command = std::make_unique<CCmdArray>(commandNameUnder(*target, kNewCommandName));
  CCmdItem& item = insertCommand(*target, std::move(command));
  markModified();
  return &item;
}

RenameResult CCmdTree::rename(CCmdItem& item, std::string_view text) {
  if (text.empty() || text == item.label()) return RenameResult::Ignored;
  if (hasReservedChar(text)) return RenameResult::ReservedChar;
  if (siblingHas(item.parent(), text, &item)) return RenameResult::Duplicate;
  switch (item.kind()) {
    case ItemKind::Command: item.command()->setName(text); break;
    case ItemKind::Folder: item.folder()->name = std::string(text); break;
    default: item.remoteName_ = std::string(text); break;
  }
  markModified();
  return RenameResult::Renamed;
}

std::unique_ptr<CCmdItem> CCmdTree::detach(CCmdItem& item) {
  auto& siblings = siblingsOf(item.parent());
  auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& s) { return s.get() == &item; });
  if (it == siblings.end()) return nullptr;
  std::unique_ptr<CCmdItem> owned = std::move(*it);
  siblings.erase(it);
  return owned;
}

CCmdItem* CCmdTree::deleteItem(CCmdItem& item) {
  auto& siblings = siblingsOf(item.parent());
  auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& s) { return s.get() == &item; });
  if (it == siblings.end()) return nullptr;
  CCmdItem* select = nullptr;
  if (it + 1 != siblings.end())
    select = (it + 1)->get();
  else if (it != siblings.begin())
    select = (it - 1)->get();
  else
    select = item.parent();
  clipboard_.forgetIfWithin(item);
  holds_.forgetWithin(item);
  detach(item);
  markModified();
  return select;
}

void CCmdTree::copy(CCmdItem& command) {
  if (command.kind() != ItemKind::Command) return;
  if (CCmdItem* previous = clipboard_.item()) previous->cut_ = false;
  clipboard_.hold(command, CTreeClipboard::Mode::Copy);
}

void CCmdTree::cut(CCmdItem& command) {
  if (command.kind() != ItemKind::Command) return;
  if (CCmdItem* previous = clipboard_.item()) previous->cut_ = false;
  clipboard_.hold(command, CTreeClipboard::Mode::Cut);
  command.cut_ = true;
}

CCmdItem* CCmdTree::pasteTarget(CCmdItem* selection) const {
  switch (kindOf(selection)) {
    case ItemKind::Remote:
    case ItemKind::Folder: return selection;
    case ItemKind::Command: return selection->parent();
    default: return nullptr;
  }
}

CCmdItem* CCmdTree::paste(CCmdItem* selection) {
  CCmdItem* held = clipboard_.item();
  CCmdItem* target = pasteTarget(selection);
  if (!held || !target || !canTakeCommand(*target)) return nullptr;
  if (clipboard_.mode() == CTreeClipboard::Mode::Cut) {
    held->cut_ = false;
    if (held->parent() == target) return nullptr;
    clipboard_.clear();
    return moveCommand(*held, *target, nullptr);
  }
  auto copy = held->command()->clone();
  copy->setName(commandNameUnder(*target, held->label()));
  CCmdItem& item = insertCommand(*target, std::move(copy));
  markModified();
  return &item;
}

CCmdItem* CCmdTree::moveCommand(CCmdItem& command, CCmdItem& target, const CCmdItem* after) {
  const bool otherRemote = &command.remote() != &target.remote();
  std::unique_ptr<CCmdItem> owned = detach(command);
  if (!owned) return nullptr;
  // A held button runs a command of its own remote only, as a load would insist.
  if (otherRemote) holds_.forgetWithin(*owned);
  owned->command()->setName(commandNameUnder(target, owned->label()));
  owned->parent_ = &target;
  auto& siblings = target.children_;
  auto at = siblings.end();
  if (after) {
    at = std::find_if(siblings.begin(), siblings.end(), [&](const auto& s) { return s.get() == after; });
    if (at != siblings.end()) ++at;
  }
  CCmdItem& item = after ? **siblings.insert(at, std::move(owned)) : insertSorted(&target, std::move(owned));
  markModified();
  return &item;
}

CCmdItem* CCmdTree::drop(CCmdItem& command, CCmdItem& dropItem) {
  if (command.kind() != ItemKind::Command || &dropItem == &command) return nullptr;
  CCmdItem* target = nullptr;
  if (dropItem.kind() == ItemKind::Folder || dropItem.kind() == ItemKind::Remote)
    target = &dropItem;
  else
    target = dropItem.parent();
  // A move as by cut and paste, which leaves a command on its own parent alone.
  if (!target || target == command.parent() || !canTakeCommand(*target)) return nullptr;
  if (clipboard_.item() == &command) clipboard_.clear();
  command.cut_ = false;
  // Dropped on a command: placed right after it; on a container: sorted in.
  const CCmdItem* after = dropItem.kind() == ItemKind::Command ? &dropItem : nullptr;
  return moveCommand(command, *target, after);
}

bool CCmdTree::isStartupMacro(const CCmdItem& item) const {
  return item.kind() == ItemKind::Remote && item.label() == kStartupMacro;
}

bool CCmdTree::canTakeCommand(const CCmdItem& target) const {
  if (target.kind() != ItemKind::Remote && target.kind() != ItemKind::Folder) return false;
  return !(isStartupMacro(target) && !target.children().empty());
}

std::vector<MenuEntry> CCmdTree::contextMenu(const CCmdItem* item) const {
  const bool held = clipboard_.holds();
  switch (kindOf(item)) {
    case ItemKind::Folder:
      return {{"New Application", true},    {"Delete Application", true}, {"Rename Application", true},
              {"Export Application", true}, {"New &Command", true},       {"&Paste Command", held}};
    case ItemKind::Command: {
      const bool open = canTakeCommand(*item->parent());
      return {{"&New Command", open}, {"&Delete Command", true}, {"&Rename Command", true}, {"&Copy", true},
              {"Cu&t", true},         {"&Paste", held && open},  {"T&est", true}};
    }
    case ItemKind::Remote: {
      const bool open = canTakeCommand(*item);
      std::vector<MenuEntry> menu{{"&New Remote", true},     {"&Delete Remote", true},
                                  {"&Rename Remote", true},  {"New &Command", open},
                                  {"&Paste Command", held && open}};
      if (!isStartupMacro(*item)) menu.push_back({"New Application", true});
      return menu;
    }
    default:
      return {{"&New Remote", true},   {"&Delete Remote", false},     {"&Rename Remote", false},
              {"New &Command", false}, {"&Paste Command", held}, {"New Application", false}};
  }
}

void CCmdTree::switchLayoutsTogether(CCmdItem& folderItem, bool addMissingLayouts) {
  if (folderItem.kind() != ItemKind::Folder) return;
  if (addMissingLayouts) {
    size_t most = 0;
    for (const auto& c : folderItem.children())
      if (c->kind() == ItemKind::Command) most = std::max(most, c->command()->layoutCount());
    for (const auto& c : folderItem.children())
      if (c->kind() == ItemKind::Command)
        while (c->command()->layoutCount() < most) c->command()->addLayout();
  }
  folderItem.folder()->flags |= APPFOLDER::kSwitchLayoutsTogether;
  markModified();
}

}  // namespace vexa
