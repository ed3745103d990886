#include "vexa/model/config_check.h"

#include <unordered_set>

#include "vexa/base/strings.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/cmd.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/model/names.h"

namespace vexa {

namespace {

bool isNumber(std::string_view s) {
  size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
  if (i >= s.size()) return false;
  for (; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

class Checker {
 public:
  std::vector<ConfigProblem> run(const CProfileTree& keys) {
    if (const CProfileKey* top = keys.findTopKey(kCommandsKey)) items(*top, 0);
    return std::move(problems_);
  }

 private:
  void report(const CProfileKey& key, std::string message) { problems_.push_back({keyPath(key), std::move(message)}); }

  void name(const CProfileKey& key, const char* what) {
    if (key.name().empty()) report(key, std::string(what) + " has an empty name");
    if (hasReservedChar(key.name()))
      report(key, std::string(what) + " name contains a reserved character (\\#[]@=|)");
  }

  // Numbers are written with "%d"; anything else reads as 0.
  long long numeric(const CProfileKey& key, std::string_view value, long long fallback) {
    const std::string* v = key.findValue(value);
    if (!v || v->empty()) return fallback;
    if (!isNumber(*v)) report(key, "\"" + std::string(value) + "\" is not a number: \"" + *v + "\"");
    return parseInteger(*v);
  }

  void range(const CProfileKey& key, std::string_view value, long long fallback, long long lo, long long hi) {
    const long long v = numeric(key, value, fallback);
    if (v < lo || v > hi)
      report(key, "\"" + std::string(value) + "\"=" + std::to_string(v) + " is outside " + std::to_string(lo) +
                      ".." + std::to_string(hi));
  }

  void flags(const CProfileKey& key, unsigned allowed) {
    const auto v = static_cast<uint32_t>(numeric(key, "Flags", 0));
    if (v & ~allowed) report(key, "\"Flags\" has unknown bits " + std::to_string(v & ~allowed));
  }

  void duplicates(const CProfileKey& parent, const char* what, bool (*counts)(const CProfileKey&)) {
    std::unordered_set<std::string> seen;
    for (const auto& c : parent.children())
      if (counts(*c) && !seen.insert(toLower(c->name())).second)
        report(*c, std::string(what) + " \"" + c->name() + "\" already exists here");
  }

  static long long idOf(const CProfileKey& key) {
    const std::string* id = key.findValue("ID");
    return (id && !id->empty()) ? parseInteger(*id) : -1;
  }

  // Remotes, folders and commands below a key; level 0 is under "Commands".
  void items(const CProfileKey& parent, int level) {
    if (++depth_ > kMaxDepth) {
      report(parent, "keys nest deeper than " + std::to_string(kMaxDepth) + " levels; not checked further");
      --depth_;
      return;
    }
    itemsBelow(parent, level);
    --depth_;
  }

  void itemsBelow(const CProfileKey& parent, int level) {
    duplicates(parent, "An item", [](const CProfileKey& k) {
      const long long id = idOf(k);
      return id >= 0 && id <= 2;
    });
    for (const auto& c : parent.children()) {
      switch (idOf(*c)) {
        case 0:
          name(*c, "Remote");
          items(*c, 1);
          break;
        case 2:
          name(*c, "Application folder");
          if (level != 1) report(*c, "an application folder must be directly under a remote");
          range(*c, "Index", -1, -1, INT32_MAX);
          flags(*c, 0xF);
          items(*c, 2);
          break;
        case 1:
          if (level == 0) report(*c, "a command must be under a remote or an application folder");
          command(*c);
          break;
        default:
          report(*c, "key has no known \"ID\" (0 remote, 1 command, 2 application folder)");
          items(*c, level);
      }
    }
  }

  void command(const CProfileKey& key) {
    if (!istartsWith(key.name(), kAppCommandPrefix)) name(key, "Command");
    if (key.childCount() == 0) report(key, "command has no layout");
    const long long active = numeric(key, "ActiveLayout", 0);
    if (active < 0 || (active != 0 && active >= static_cast<long long>(key.childCount())))
      report(key, "\"ActiveLayout\"=" + std::to_string(active) + " names no layout");
    duplicates(key, "A layout", [](const CProfileKey&) { return true; });
    for (const auto& layout : key.children()) {
      name(*layout, "Layout");
      range(*layout, "Index", -1, -1, INT32_MAX);
      flags(*layout, CCmdArray::kAllowRepeat | CCmdArray::kDisableOsd);
      const auto hotKey = static_cast<uint32_t>(numeric(*layout, "HotKey", 0));
      if ((hotKey >> 16) > 0xF) report(*layout, "\"HotKey\" has unknown modifier bits");
      actions(*layout);
    }
  }

  void actions(const CProfileKey& layout) {
    duplicates(layout, "An action", [](const CProfileKey&) { return true; });
    const long long count = static_cast<long long>(layout.childCount());
    for (const auto& a : layout.children()) {
      name(*a, "Action");
      range(*a, "ID", 3, 3, 3);
      range(*a, "Index", -1, -1, count - 1);
      range(*a, "Delay", 0, 0, CMD::kMaxDelayMs);
      flags(*a, CMD::kDelayEnabled);
      const std::string type = a->value("Action");
      if (type.empty())
        report(*a, "action has no type");
      else if (!findCatalogueEntry(type))
        report(*a, "unknown action type \"" + type + "\"");
    }
  }

  static constexpr int kMaxDepth = 64;
  int depth_ = 0;
  std::vector<ConfigProblem> problems_;
};

}  // namespace

std::vector<ConfigProblem> checkCommandKeys(const CProfileTree& keys) { return Checker().run(keys); }

}  // namespace vexa
