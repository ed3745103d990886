#include "vexa/model/cmd_tree_store.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>
#include <unordered_map>
#include <unordered_set>

#include "vexa/base/strings.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/names.h"
#include "vexa/base/errors.h"
#include "vexa/base/file_io.h"
#include "vexa/codec/profile_codec.h"
#include "vexa/codec/profile_writers.h"

namespace vexa {

namespace {

// Plain decimal digits, as the program writes every number, read without
// the general parser's blanks, signs and overflow checks.
std::optional<long long> plainNumber(std::string_view v) {
  if (v.empty() || v.size() > 18) return std::nullopt;
  long long value = 0;
  for (char c : v) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Missing or empty values take the default; anything else reads like atoi.
long long number(const std::string_view* v, long long fallback) {
  if (!v || v->empty()) return fallback;
  if (const auto plain = plainNumber(*v)) return *plain;
  return parseInteger(*v);
}

long long number(const CKeyRecord& key, std::string_view name, long long fallback) {
  return number(key.findValue(name), fallback);
}

int32_t int32Value(const std::string_view* value, int32_t fallback) {
  const long long v = number(value, fallback);
  return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

int32_t int32Value(const CKeyRecord& key, std::string_view name, int32_t fallback) {
  return int32Value(key.findValue(name), fallback);
}

// Flag words and hot keys are written with "%d", so they may read negative.
uint32_t wordValue(const std::string_view* value) { return static_cast<uint32_t>(number(value, 0)); }

uint32_t wordValue(const CKeyRecord& key, std::string_view name) { return wordValue(key.findValue(name)); }

// Built at its size and moved in: assigning into an empty string would
// round a short text's room up to twice the inline capacity.
void assign(std::string& to, std::string_view value) { to = std::string(value); }
void assign(std::string& to, const std::string_view* value) { assign(to, value ? *value : std::string_view()); }

// Actions are most of a file: their values are picked out in one pass
// rather than looked up one name at a time.
class ActionValues {
 public:
  enum Field { kId, kIndex, kAction, kFilename, kParam, kFlags, kDelayOn, kDelay, kExtraParam, kFieldCount };

  explicit ActionValues(const CKeyRecord& key) {
    for (const auto& [name, value] : key.values())
      if (const int f = field(name); f >= 0) found_[static_cast<size_t>(f)] = &value;
  }

  const std::string_view* operator[](Field f) const { return found_[f]; }

 private:
  static int field(std::string_view name) {
    switch (name.size()) {
      case 2: return is(name, "ID") ? kId : -1;
      case 5:
        return is(name, "Index") ? kIndex : is(name, "Param") ? kParam : is(name, "Flags") ? kFlags : is(name, "Delay") ? kDelay : -1;
      case 6: return is(name, "Action") ? kAction : is(name, "bDelay") ? kDelayOn : -1;
      case 7: return is(name, "xParam1") ? kExtraParam : -1;
      case 8: return is(name, "Filename") ? kFilename : -1;
      default: return -1;
    }
  }

  // For a name already known to have the length: a compare of known size
  // is a few loads, not a call.
  template <size_t N>
  static bool is(std::string_view name, const char (&text)[N]) {
    return std::memcmp(name.data(), text, N - 1) == 0;
  }

  std::array<const std::string_view*, kFieldCount> found_{};
};

// "Index" places an action; -1 (or any negative) appends it after the
// highest position so far; a later action at a taken position replaces the
// earlier one. Positions stay sparse while reading and are compacted at the
// end, so a huge or gapped index can neither allocate without bound nor
// leave empty slots.
class ActionSlots {
 public:
  void clear() {
    slots_.clear();
    inOrder_ = true;
  }

  void place(long long wanted, std::unique_ptr<CMD> action) {
    const long long at = wanted >= 0 ? wanted : (slots_.empty() ? 0 : highest_ + 1);
    if (!slots_.empty() && at <= slots_.back().at) inOrder_ = false;
    highest_ = slots_.empty() ? at : std::max(highest_, at);
    slots_.push_back({at, std::move(action)});
  }

  void moveInto(CCmdArray& layout) {
    if (!inOrder_) {
      std::stable_sort(slots_.begin(), slots_.end(), [](const Slot& a, const Slot& b) { return a.at < b.at; });
      // Of the actions at one position, the last placed stays.
      auto kept = slots_.begin();
      for (auto it = slots_.begin(); it != slots_.end(); ++it) {
        const bool replaced = std::next(it) != slots_.end() && std::next(it)->at == it->at;
        if (!replaced) *kept++ = std::move(*it);
      }
      slots_.erase(kept, slots_.end());
    }
    layout.actions().reserve(layout.actions().size() + slots_.size());
    for (auto& slot : slots_) layout.appendAction(std::move(slot.action));
    clear();
  }

 private:
  struct Slot {
    long long at;
    std::unique_ptr<CMD> action;
  };
  std::vector<Slot> slots_;
  long long highest_ = 0;
  bool inOrder_ = true;
};

// Builds the command tree from keys as they come, in tree order: items as
// their keys begin, a command once its layouts and actions have all come.
class TreeLoader final : public IProfileVisitor {
 public:
  TreeLoader(CCmdTree& tree, const std::function<void(const std::string&)>& status) : tree_(tree), status_(status) {
    statusText_ = std::string(kLoadingConfiguration);
    report();
  }

  // The keys that follow are the children of the key at `path`, whose items
  // go under `parent` (null: the top level); leaveKey() ends it.
  void openTop(std::string path, CCmdItem* parent) { frames_.push_back({Frame::Items, parent, std::move(path)}); }

  void enterKey(const CKeyRecord& key) override {
    Frame& frame = frames_.back();
    switch (frame.kind) {
      case Frame::Items: return enterItem(key, frame.parent);
      case Frame::Command: return enterLayout(key);
      case Frame::Layout: enterAction(key); break;
      case Frame::Skipped: break;
    }
    push(Frame::Skipped, nullptr, key);
  }

  void leaveKey() override {
    const Frame& frame = frames_.back();
    switch (frame.kind) {
      case Frame::Items: finishChildren(frame.parent); break;
      case Frame::Command: finishCommand(); break;
      case Frame::Layout: slots_.moveInto(*layout_); break;
      case Frame::Skipped: break;
    }
    frames_.pop_back();
  }

  TreeLoadResult result() { return std::move(result_); }

  static void readFolderValues(const CKeyRecord& key, APPFOLDER& folder) {
    folder.index = int32Value(key, "Index", -1);
    folder.loadFileName(key.value("File"));
    folder.windowName = key.value("Wnd");
    folder.setCommandName(key.value("Command"));
    folder.flags = wordValue(key, "Flags");
  }

 private:
  struct Frame {
    enum Kind { Items, Command, Layout, Skipped } kind;
    CCmdItem* parent;  // Items: where the children go; Command: where the command goes
    std::string name;
  };

  // Only items' keys can be named in a problem's path: layouts and the
  // keys below them, most of a file, keep no name.
  void push(Frame::Kind kind, CCmdItem* parent, const CKeyRecord& key) {
    const bool named = kind == Frame::Items || kind == Frame::Command;
    frames_.push_back({kind, parent, named ? std::string(key.name()) : std::string()});
  }

  void enterItem(const CKeyRecord& key, CCmdItem* parent) {
    const std::string_view* id = key.findValue("ID");
    const long long kind = number(id, -1);
    switch (kind) {
      case 0: return push(Frame::Items, remote(key), key);
      case 2: return enterFolder(key, parent);
      case 1: return enterCommand(key, parent);
      default: return push(Frame::Items, parent, key);  // not an item; its children still load here
    }
  }

  // A remote key nested anywhere still names a top-level remote; one named
  // twice is the same remote.
  CCmdItem* remote(const CKeyRecord& key) {
    if (CCmdItem* existing = tree_.findRemote(key.name())) return existing;
    return &tree_.insertRemote(std::string(key.name()));
  }

  void enterFolder(const CKeyRecord& key, CCmdItem* parent) {
    if (kindOf(parent) != ItemKind::Remote) {
      problem(key.name(), "an application folder must be directly under a remote");
      return push(Frame::Skipped, nullptr, key);
    }
    auto folder = std::make_unique<APPFOLDER>(renamedLabel(key.name(), parent).value_or(std::string(key.name())));
    readFolderValues(key, *folder);
    CCmdItem& item = tree_.insertFolder(*parent, std::move(folder));
    claimLabel(item);
    push(Frame::Items, &item, key);
  }

  void enterCommand(const CKeyRecord& key, CCmdItem* parent) {
    appCommand_ = key.name().substr(0, kAppCommandPrefix.size()) == kAppCommandPrefix;
    if (appCommand_ ? kindOf(parent) != ItemKind::Folder
                    : kindOf(parent) != ItemKind::Remote && kindOf(parent) != ItemKind::Folder) {
      if (!appCommand_) problem(key.name(), "a command must be under a remote or an application folder");
      return push(Frame::Skipped, nullptr, key);
    }
    command_ = std::make_unique<CCmdArray>(std::string(key.name()));
    layout_ = nullptr;
    activeLayout_ = number(key, "ActiveLayout", 0);
    push(Frame::Command, parent, key);
  }

  // Each child key of a command is one of its layouts, in stored order.
  void enterLayout(const CKeyRecord& key) {
    if (layout_) {
      layout_ = &command_->addLayout(std::string(key.name()));
    } else {
      layout_ = command_.get();
      layout_->setLayoutName(std::string(key.name()));
    }
    layout_->setOwnFields(int32Value(key, "Index", -1), wordValue(key, "HotKey"), wordValue(key, "Flags"));
    slots_.clear();
    push(Frame::Layout, nullptr, key);
  }

  void enterAction(const CKeyRecord& key) {
    const ActionValues v(key);
    auto action = std::make_unique<CMD>();
    assign(action->name, key.name());
    action->kind = static_cast<uint8_t>(int32Value(v[ActionValues::kId], 3));
    if (const std::string_view* type = v[ActionValues::kAction]) action->typeName = typeNames_.intern(*type);
    if (const std::string_view* file = v[ActionValues::kFilename]) action->fileName = fileNames_.intern(*file);
    assign(action->param, v[ActionValues::kParam]);
    action->flags = wordValue(v[ActionValues::kFlags]);
    if (number(v[ActionValues::kDelayOn], 0) == 1) action->flags |= CMD::kDelayEnabled;
    action->delay = int32Value(v[ActionValues::kDelay], 0);
    if (const std::string_view* extra = v[ActionValues::kExtraParam]) action->extraParam = extraParams_.intern(*extra);
    slots_.place(number(v[ActionValues::kIndex], -1), std::move(action));
  }

  void finishCommand() {
    if (activeLayout_ > 0) command_->switchToLayout(static_cast<size_t>(activeLayout_));
    CCmdItem* parent = frames_.back().parent;
    if (appCommand_) {
      parent->folder()->replaceAppCommand(std::move(command_));
      return;
    }
    if (auto label = renamedLabel(frames_.back().name, parent)) command_->setName(*label);
    claimLabel(tree_.insertCommand(*parent, std::move(command_)));
  }

  // Two keys of one name under one parent (only the binary form can say so)
  // would make the second unreachable and merge in the text form; it keeps
  // its content under a free name instead.
  // Nothing when the name is free there.
  std::optional<std::string> renamedLabel(std::string_view name, const CCmdItem* parent) {
    const LabelSet& used = labelsUnder(parent);
    if (!used.contains(name)) return std::nullopt;
    std::string label = makeUniqueName(name, [&](std::string_view n) { return used.contains(n); });
    problem(name, "another item here has the same name; loaded as \"" + label + "\"", false);
    return label;
  }

  // The set views the item's own label, which no load renames.
  void claimLabel(const CCmdItem& item) { labelsUnder(item.parent()).insert(item.label()); }

  using LabelSet = std::unordered_set<std::string_view>;
  LabelSet& labelsUnder(const CCmdItem* parent) {
    if (parent != lastParent_ || !lastLabels_) {
      lastLabels_ = &labels_[parent];
      lastParent_ = parent;
    }
    return *lastLabels_;
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

  // `name` is the key's own; the open keys above it complete its path. A
  // command's problems come when it ends, so its own frame is then on top.
  void problem(std::string_view name, const std::string& what, bool failed = true) {
    if (failed) result_.ok = false;
    std::string path;
    for (const Frame& f : frames_) {
      if (&f == &frames_.back() && f.kind == Frame::Command) break;
      path += f.name;
      path += '\\';
    }
    path += name;
    result_.problems.push_back(path + ": " + what);
  }

  CCmdTree& tree_;
  std::function<void(const std::string&)> status_;
  std::string statusText_;
  int dots_ = 0;
  TreeLoadResult result_;
  std::unordered_map<const CCmdItem*, LabelSet> labels_;
  const CCmdItem* lastParent_ = nullptr;
  LabelSet* lastLabels_ = nullptr;  // labels_[lastParent_]; its nodes stay put
  std::vector<Frame> frames_;
  // The command being read (commands do not nest) and its layout.
  std::unique_ptr<CCmdArray> command_;
  bool appCommand_ = false;
  long long activeLayout_ = 0;
  CCmdArray* layout_ = nullptr;
  ActionSlots slots_;
  // A file names few action types many times over.
  CTextInterner typeNames_;
  CTextInterner fileNames_;
  CTextInterner extraParams_;
};

// Numbers as "%d" writes them, without a string of their own.
class CDecimal {
 public:
  explicit CDecimal(int64_t v) : size_(static_cast<size_t>(std::to_chars(digits_, digits_ + sizeof digits_, v).ptr - digits_)) {}
  operator std::string_view() const { return {digits_, size_}; }

 private:
  char digits_[24];
  size_t size_;
};

CDecimal text(int64_t v) { return CDecimal(v); }

// Hands the keys of a file's top key named `name` (the first of them) to the
// loader, and nothing else.
class TopKeyFilter final : public IProfileVisitor {
 public:
  TopKeyFilter(TreeLoader& loader, std::string_view name) : loader_(loader), name_(name) {}

  void enterKey(const CKeyRecord& key) override {
    if (depth_++ == 0) {
      inside_ = !found_ && key.name() == name_;
      found_ = found_ || inside_;
      if (inside_) loader_.openTop(std::string(key.name()), nullptr);
    } else if (inside_) {
      loader_.enterKey(key);
    }
  }

  void leaveKey() override {
    if (inside_) loader_.leaveKey();
    if (--depth_ == 0) inside_ = false;
  }

 private:
  TreeLoader& loader_;
  std::string_view name_;
  size_t depth_ = 0;
  bool found_ = false;
  bool inside_ = false;
};

std::string_view baseName(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void writeLayout(const CCmdArray& layout, IProfileSink& out, WriteMode mode) {
  out.beginKey(layout.layoutName());
  out.value("HotKey", text(static_cast<int32_t>(layout.hotKey())));
  out.value("Index", text(layout.index()));
  out.value("Flags", text(static_cast<int32_t>(layout.flags())));
  out.value("ID", "1");
  const auto& actions = layout.actions();
  for (size_t i = 0; i < actions.size(); ++i) {
    const CMD& a = *actions[i];
    out.beginKey(a.name);
    out.value("ID", text(a.kind));
    out.value("Index", text(static_cast<int64_t>(i)));
    if (!a.typeName.empty()) out.value("Action", a.typeName);
    if (!a.fileName.empty()) {
      const bool portable = mode == WriteMode::Export && (catalogueFlagsOf(a.typeName) & CatalogueFlag::kApplication);
      if (portable)
        out.value("Filename", exportPlaceholder(a.fileName));
      else
        out.value("Filename", a.fileName);
    }
    if (!a.param.empty()) out.value("Param", a.param);
    out.value("Flags", text(static_cast<int32_t>(a.flags)));
    out.value("Delay", text(a.delay));
    out.value("xParam1", a.extraParam);
    out.endKey();
  }
  out.endKey();
}

void writeCommandKeys(const CCmdArray& command, IProfileSink& out, WriteMode mode) {
  const CCmdArray& first = command.first();
  out.beginKey(first.name());
  out.value("ID", "1");
  for (const CCmdArray* l = &first; l; l = l->next()) writeLayout(*l, out, mode);
  out.endKey();
}

void writeFolderKeys(const CCmdItem& folderItem, IProfileSink& out, WriteMode mode) {
  const APPFOLDER& f = *folderItem.folder();
  out.beginKey(f.name);
  out.value("ID", "2");
  out.value("Index", text(f.index));
  // An exported folder must find its application on the importing machine too.
  if (mode == WriteMode::Export && !f.fileName().empty())
    out.value("File", exportPlaceholder(f.fileName()));
  else
    out.value("File", f.fileName());
  out.value("Wnd", f.windowName);
  out.value("Command", f.commandName());
  out.value("Flags", text(static_cast<int32_t>(f.flags)));
  writeCommandKeys(f.appCommand(), out, mode);
  for (const auto& c : folderItem.children())
    if (c->kind() == ItemKind::Command) writeCommandKeys(*c->command(), out, mode);
  out.endKey();
}

void writeItem(const CCmdItem& item, IProfileSink& out) {
  switch (item.kind()) {
    case ItemKind::Remote:
      out.beginKey(item.label());
      out.value("ID", "0");
      for (const auto& c : item.children()) writeItem(*c, out);
      out.endKey();
      break;
    case ItemKind::Folder: writeFolderKeys(item, out, WriteMode::Normal); break;
    case ItemKind::Command: writeCommandKeys(*item.command(), out, WriteMode::Normal); break;
    default: break;
  }
}

void writeCommandTree(const CCmdTree& tree, IProfileSink& out, std::string_view topKey) {
  out.beginKey(topKey);
  for (const auto& remote : tree.remotes()) writeItem(*remote, out);
  out.endKey();
}

}  // namespace

TreeLoadResult loadCommandTree(CCmdTree& tree, const CProfileTree& keys, std::string_view topKey,
                               const std::function<void(const std::string&)>& status) {
  tree.clear();
  TreeLoader loader(tree, status);
  // Top keys are matched exactly; a file without one is an empty tree.
  if (const CProfileKey* top = keys.findTopKey(topKey)) {
    loader.openTop(top->name(), nullptr);
    visitProfileChildren(*top, loader);
    loader.leaveKey();
  }
  return loader.result();
}

namespace {

// A file read straight into a fresh tree, which replaces `tree` once it is
// whole; nothing when the file needs the key tree's reader, which also
// names any fault in it as it always has.
template <typename Stream>
std::optional<TreeLoadResult> streamCommandTree(CCmdTree& tree, Stream&& stream,
                                                const std::function<void(const std::string&)>& status) {
  try {
    CCmdTree loaded;
    TreeLoader loader(loaded, status);
    TopKeyFilter top(loader, kCommandsKey);
    if (!stream(top)) return std::nullopt;
    tree.replaceItems(loaded);
    return loader.result();
  } catch (const ArchiveError&) {
    return std::nullopt;
  }
}

std::string remainingBytes(std::istream& in) {
  std::string bytes;
  std::array<char, 64 * 1024> piece;
  while (in.read(piece.data(), piece.size()) || in.gcount() > 0) bytes.append(piece.data(), static_cast<size_t>(in.gcount()));
  if (in.bad()) VEXA_THROW(FileError, "Cannot read the configuration file");
  return bytes;
}

}  // namespace

TreeLoadResult decodeCommandTree(CCmdTree& tree, std::string_view bytes, const ICodePage& codePage,
                                 const std::function<void(const std::string&)>& status) {
  CProfileTree keys;
  if (looksLikeText(bytes)) {
    std::string converted;
    const std::string_view text = isAscii(bytes) ? bytes : std::string_view(converted = codePage.toUtf8(bytes));
    const auto read = [&](IProfileVisitor& visitor) { return streamProfileText(text, visitor); };
    if (auto streamed = streamCommandTree(tree, read, status)) return std::move(*streamed);
    readProfileText(text, keys);
  } else {
    const auto read = [&](IProfileVisitor& visitor) { return streamProfileBinary(bytes, visitor, codePage); };
    if (auto streamed = streamCommandTree(tree, read, status)) return std::move(*streamed);
    readProfileBinary(bytes, keys, codePage);
  }
  return loadCommandTree(tree, keys, kCommandsKey, status);
}

TreeLoadResult decodeCommandTree(CCmdTree& tree, std::istream& file, const ICodePage& codePage,
                                 const std::function<void(const std::string&)>& status) {
  const std::streampos start = file.tellg();
  std::array<char, 5> head{};
  file.read(head.data(), head.size());
  const bool text = looksLikeText(std::string_view(head.data(), static_cast<size_t>(file.gcount())));
  file.clear();
  file.seekg(start);
  if (!text) {
    const auto read = [&](IProfileVisitor& visitor) { return streamProfileBinary(file, visitor, codePage); };
    if (auto streamed = streamCommandTree(tree, read, status)) return std::move(*streamed);
    file.clear();
    file.seekg(start);
  }
  return decodeCommandTree(tree, remainingBytes(file), codePage, status);
}

TreeLoadResult loadFolderKey(CCmdTree& tree, CCmdItem& folderItem, const CProfileKey& folderKey) {
  while (!folderItem.children().empty()) tree.deleteItem(*folderItem.children().back());
  const auto values = valueViews(folderKey);
  TreeLoader::readFolderValues(CKeyRecord(folderKey.name(), values), *folderItem.folder());
  TreeLoader loader(tree, {});
  loader.openTop(keyPath(folderKey), &folderItem);
  visitProfileChildren(folderKey, loader);
  loader.leaveKey();
  return loader.result();
}

std::string exportPlaceholder(std::string_view path) {
  return "%" + std::string(baseName(path)) + "%";
}

void writeCommand(const CCmdArray& command, CProfileKey& parent, WriteMode mode) {
  CProfileTreeSink out(parent);
  writeCommandKeys(command, out, mode);
}

void writeFolder(const CCmdItem& folderItem, CProfileKey& parent, WriteMode mode) {
  CProfileTreeSink out(parent);
  writeFolderKeys(folderItem, out, mode);
}

void saveCommandTree(const CCmdTree& tree, CProfileTree& keys, std::string_view topKey) {
  CProfileTree fresh;
  CProfileTreeSink out(fresh);
  writeCommandTree(tree, out, topKey);
  keys.replaceContents(fresh);
}

std::string encodeCommandTree(const CCmdTree& tree, ProfileEncoding encoding, const ICodePage& codePage) {
  if (encoding == ProfileEncoding::Text) {
    CTextProfileWriter out(&codePage);
    writeCommandTree(tree, out, kCommandsKey);
    return out.take();
  }
  CBinaryProfileWriter out(codePage);
  writeCommandTree(tree, out, kCommandsKey);
  return out.take();
}

void saveCommandTreeFile(const CCmdTree& tree, const std::filesystem::path& file, const ICodePage& codePage) {
  writeFileAtomically(file, [&](std::ostream& out) {
    CBinaryProfileWriter writer(codePage, &out);
    writeCommandTree(tree, writer, kCommandsKey);
    writer.finish();
  });
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
