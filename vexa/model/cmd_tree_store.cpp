#include "vexa/model/cmd_tree_store.h"

#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "vexa/base/strings.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/names.h"
#include "vexa/codec/profile_file.h"

namespace vexa {

namespace {

// Missing or empty values take the default; anything else reads like atoi.
long long number(const CProfileKey& key, std::string_view name, long long fallback) {
  const std::string* v = key.findValue(name);
  return (v && !v->empty()) ? parseInteger(*v) : fallback;
}

int32_t int32Value(const CProfileKey& key, std::string_view name, int32_t fallback) {
  const long long v = number(key, name, fallback);
  return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

// Flag words and hot keys are written with "%d", so they may read negative.
uint32_t wordValue(const CProfileKey& key, std::string_view name) {
  return static_cast<uint32_t>(number(key, name, 0));
}

std::string text(int64_t v) { return std::to_string(v); }

class TreeLoader {
 public:
  TreeLoader(CCmdTree& tree, const std::function<void(const std::string&)>& status) : tree_(tree), status_(status) {
    statusText_ = std::string(kLoadingConfiguration);
    report();
  }

  void load(const CProfileKey& top, CCmdItem* parent = nullptr) {
    struct Frame {
      const CProfileKey* key;
      CCmdItem* parent;
      size_t next;
    };
    std::vector<Frame> stack{{&top, parent, 0}};
    while (!stack.empty()) {
      Frame& frame = stack.back();
      if (frame.next >= frame.key->childCount()) {
        finishChildren(frame.parent);
        stack.pop_back();
        continue;
      }
      const CProfileKey& child = *frame.key->child(frame.next++);
      CCmdItem* parent = frame.parent;
      if (auto container = visit(child, parent)) stack.push_back({&child, *container, 0});
    }
  }

  TreeLoadResult result() { return std::move(result_); }

 private:
  // The item whose children the key's children become (null: the top
  // level), or nothing when they are not visited as items.
  std::optional<CCmdItem*> visit(const CProfileKey& key, CCmdItem* parent) {
    const std::string* id = key.findValue("ID");
    const long long kind = (id && !id->empty()) ? parseInteger(*id) : -1;
    switch (kind) {
      case 0: return remote(key);
      case 2: return loadFolder(key, parent);
      case 1: loadCommand(key, parent); return std::nullopt;
      default: return parent;  // not an item; its children still load here
    }
  }

  // A remote key nested anywhere still names a top-level remote; one named
  // twice is the same remote.
  CCmdItem* remote(const CProfileKey& key) {
    if (CCmdItem* existing = tree_.findRemote(key.name())) return existing;
    return &tree_.insertRemote(key.name());
  }

  // Two keys of one name under one parent (only the binary form can say so)
  // would make the second unreachable and merge in the text form; it keeps
  // its content under a free name instead.
  std::string freeLabel(const CProfileKey& key, CCmdItem* parent) {
    auto& used = labels_[parent];
    if (used.insert(key.name()).second) return key.name();
    std::string label = makeUniqueName(key.name(), [&](std::string_view n) { return used.count(std::string(n)) > 0; });
    used.insert(label);
    problem(key, "another item here has the same name; loaded as \"" + label + "\"", false);
    return label;
  }

  std::optional<CCmdItem*> loadFolder(const CProfileKey& key, CCmdItem* parent) {
    if (kindOf(parent) != ItemKind::Remote) {
      problem(key, "an application folder must be directly under a remote");
      return std::nullopt;
    }
    auto folder = std::make_unique<APPFOLDER>(freeLabel(key, parent));
    readFolderValues(key, *folder);
    return &tree_.insertFolder(*parent, std::move(folder));
  }

 public:
  static void readFolderValues(const CProfileKey& key, APPFOLDER& folder) {
    folder.index = int32Value(key, "Index", -1);
    folder.loadFileName(key.value("File"));
    folder.windowName = key.value("Wnd");
    folder.setCommandName(key.value("Command"));
    folder.flags = wordValue(key, "Flags");
  }

 private:

  void loadCommand(const CProfileKey& key, CCmdItem* parent) {
    const bool appCommand = key.name().compare(0, kAppCommandPrefix.size(), kAppCommandPrefix) == 0;
    if (appCommand) {
      if (kindOf(parent) == ItemKind::Folder) parent->folder()->replaceAppCommand(readCommand(key));
      return;
    }
    if (kindOf(parent) != ItemKind::Remote && kindOf(parent) != ItemKind::Folder) {
      problem(key, "a command must be under a remote or an application folder");
      return;
    }
    auto command = readCommand(key);
    command->setName(freeLabel(key, parent));
    tree_.insertCommand(*parent, std::move(command));
  }

  std::unique_ptr<CCmdArray> readCommand(const CProfileKey& key) {
    auto command = std::make_unique<CCmdArray>(key.name());
    bool firstLayout = true;
    for (const auto& layoutKey : key.children()) {
      CCmdArray& layout = firstLayout ? *command : command->addLayout(layoutKey->name());
      if (firstLayout) layout.setLayoutName(layoutKey->name());
      firstLayout = false;
      layout.setOwnFields(int32Value(*layoutKey, "Index", -1), wordValue(*layoutKey, "HotKey"),
                          wordValue(*layoutKey, "Flags"));
      readActions(*layoutKey, layout);
    }
    const long long active = number(key, "ActiveLayout", 0);
    if (active > 0) command->switchToLayout(static_cast<size_t>(active));
    return command;
  }

  // "Index" places an action; -1 (or any negative) appends it. Positions are
  // kept sparse while reading and compacted afterwards, so a huge or gapped
  // index can neither allocate without bound nor leave empty slots.
  void readActions(const CProfileKey& layoutKey, CCmdArray& layout) {
    std::map<long long, std::unique_ptr<CMD>> slots;
    for (const auto& actionKey : layoutKey.children()) {
      auto action = readAction(*actionKey);
      const long long wanted = number(*actionKey, "Index", -1);
      const long long at = wanted >= 0 ? wanted : (slots.empty() ? 0 : slots.rbegin()->first + 1);
      slots[at] = std::move(action);
    }
    for (auto& [position, action] : slots) layout.appendAction(std::move(action));
  }

  std::unique_ptr<CMD> readAction(const CProfileKey& key) {
    auto action = std::make_unique<CMD>();
    action->name = key.name();
    action->kind = static_cast<uint8_t>(int32Value(key, "ID", 3));
    action->typeName = key.value("Action");
    action->fileName = key.value("Filename");
    action->param = key.value("Param");
    action->flags = wordValue(key, "Flags");
    if (number(key, "bDelay", 0) == 1) action->flags |= CMD::kDelayEnabled;
    action->delay = int32Value(key, "Delay", 0);
    action->extraParam = key.value("xParam1");
    return action;
  }

  void finishChildren(CCmdItem* parent) {
    tree_.sortChildren(parent);
    if (++dots_ > 61) {
      dots_ = 1;
      statusText_ = std::string(kLoadingConfiguration);
    }
    statusText_ += '.';
    report();
  }

  void report() {
    if (status_) status_(statusText_);
  }

  void problem(const CProfileKey& key, const std::string& what, bool failed = true) {
    if (failed) result_.ok = false;
    result_.problems.push_back(keyPath(key) + ": " + what);
  }

  CCmdTree& tree_;
  std::function<void(const std::string&)> status_;
  std::string statusText_;
  int dots_ = 0;
  TreeLoadResult result_;
  std::unordered_map<const CCmdItem*, std::unordered_set<std::string>> labels_;
};

std::string_view baseName(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void writeLayout(const CCmdArray& layout, CProfileKey& commandKey, WriteMode mode) {
  CProfileKey& key = commandKey.appendChild(layout.layoutName());
  key.reserveValues(4);
  key.reserveChildren(layout.actions().size());
  key.appendValue("HotKey", text(static_cast<int32_t>(layout.hotKey())));
  key.appendValue("Index", text(layout.index()));
  key.appendValue("Flags", text(static_cast<int32_t>(layout.flags())));
  key.appendValue("ID", "1");
  const auto& actions = layout.actions();
  for (size_t i = 0; i < actions.size(); ++i) {
    const CMD& a = *actions[i];
    CProfileKey& ak = key.appendChild(a.name);
    ak.reserveValues(8);
    ak.appendValue("ID", text(a.kind));
    ak.appendValue("Index", text(static_cast<int64_t>(i)));
    if (!a.typeName.empty()) ak.appendValue("Action", a.typeName);
    if (!a.fileName.empty()) {
      const bool portable = mode == WriteMode::Export && (catalogueFlagsOf(a.typeName) & CatalogueFlag::kApplication);
      ak.appendValue("Filename", portable ? exportPlaceholder(a.fileName) : a.fileName);
    }
    if (!a.param.empty()) ak.appendValue("Param", a.param);
    ak.appendValue("Flags", text(static_cast<int32_t>(a.flags)));
    ak.appendValue("Delay", text(a.delay));
    ak.appendValue("xParam1", a.extraParam);
  }
}

void writeItem(const CCmdItem& item, CProfileKey& parent) {
  switch (item.kind()) {
    case ItemKind::Remote: {
      CProfileKey& key = parent.appendChild(item.label());
      key.appendValue("ID", "0");
      for (const auto& c : item.children()) writeItem(*c, key);
      break;
    }
    case ItemKind::Folder: writeFolder(item, parent); break;
    case ItemKind::Command: writeCommand(*item.command(), parent); break;
    default: break;
  }
}

}  // namespace

TreeLoadResult loadCommandTree(CCmdTree& tree, const CProfileTree& keys, std::string_view topKey,
                               const std::function<void(const std::string&)>& status) {
  tree.clear();
  TreeLoader loader(tree, status);
  // Top keys are matched exactly; a file without one is an empty tree.
  if (const CProfileKey* top = keys.findTopKey(topKey)) loader.load(*top);
  return loader.result();
}

TreeLoadResult loadFolderKey(CCmdTree& tree, CCmdItem& folderItem, const CProfileKey& folderKey) {
  while (!folderItem.children().empty()) tree.deleteItem(*folderItem.children().back());
  TreeLoader::readFolderValues(folderKey, *folderItem.folder());
  TreeLoader loader(tree, {});
  loader.load(folderKey, &folderItem);
  return loader.result();
}

std::string exportPlaceholder(std::string_view path) {
  return "%" + std::string(baseName(path)) + "%";
}

void writeCommand(const CCmdArray& command, CProfileKey& parent, WriteMode mode) {
  const CCmdArray& first = command.first();
  CProfileKey& key = parent.appendChild(first.name());
  key.appendValue("ID", "1");
  for (const CCmdArray* l = &first; l; l = l->next()) writeLayout(*l, key, mode);
}

void writeFolder(const CCmdItem& folderItem, CProfileKey& parent, WriteMode mode) {
  const APPFOLDER& f = *folderItem.folder();
  CProfileKey& key = parent.appendChild(f.name);
  key.appendValue("ID", "2");
  key.appendValue("Index", text(f.index));
  // An exported folder must find its application on the importing machine too.
  const bool portable = mode == WriteMode::Export && !f.fileName().empty();
  key.appendValue("File", portable ? exportPlaceholder(f.fileName()) : f.fileName());
  key.appendValue("Wnd", f.windowName);
  key.appendValue("Command", f.commandName());
  key.appendValue("Flags", text(static_cast<int32_t>(f.flags)));
  writeCommand(f.appCommand(), key, mode);
  for (const auto& c : folderItem.children())
    if (c->kind() == ItemKind::Command) writeCommand(*c->command(), key, mode);
}

void saveCommandTree(const CCmdTree& tree, CProfileTree& keys, std::string_view topKey) {
  CProfileTree fresh;
  CProfileKey& top = fresh.appendChild(std::string(topKey));
  for (const auto& remote : tree.remotes()) writeItem(*remote, top);
  keys.replaceContents(fresh);
}

void saveCommandTreeFile(const CCmdTree& tree, const std::filesystem::path& file, const ICodePage& codePage) {
  CProfileTree keys;
  saveCommandTree(tree, keys);
  saveProfileFile(keys, file, ProfileEncoding::Binary, codePage);
}

std::string activeLayoutSection(std::string_view remote, std::string_view folder, std::string_view command) {
  std::string s(kCommandsKey);
  for (std::string_view part : {remote, folder, command}) {
    s += '\\';
    s += part;
  }
  return s;
}

namespace {
template <typename Visit>
void forEachRememberingCommand(const CCmdTree& tree, Visit&& visit) {
  for (const auto& remote : tree.remotes())
    for (const auto& folder : remote->children()) {
      if (folder->kind() != ItemKind::Folder || !(folder->folder()->flags & APPFOLDER::kRememberLayout)) continue;
      for (const auto& c : folder->children())
        if (c->kind() == ItemKind::Command)
          visit(activeLayoutSection(remote->label(), folder->label(), c->label()), *c->command());
    }
}
}  // namespace

void storeActiveLayouts(const CCmdTree& tree, IAppProfile& profile, bool clearFirst) {
  if (clearFirst) profile.deleteTree(kCommandsKey);
  forEachRememberingCommand(tree, [&](const std::string& section, const CCmdArray& command) {
    profile.writeInt(section, "ActiveLayout", command.activeLayoutNumber());  // a failed write is ignored
  });
}

void restoreActiveLayouts(CCmdTree& tree, const IAppProfile& profile) {
  forEachRememberingCommand(tree, [&](const std::string& section, const CCmdArray& command) {
    const int number = profile.readInt(section, "ActiveLayout", 0);
    if (number >= 0) const_cast<CCmdArray&>(command).switchToLayout(static_cast<size_t>(number));
  });
}

}  // namespace vexa
