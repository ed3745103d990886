#include "vexa/model/app_library.h"

#include <algorithm>
#include <map>

#include "vexa/base/strings.h"
#include "vexa/base/utf8_path.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/model/names.h"
#include "vexa/codec/profile_file.h"

namespace vexa {

namespace fs = std::filesystem;

bool isPlaceholder(std::string_view fileName) {
  return fileName.size() >= 2 && fileName.front() == '%' && fileName.back() == '%';
}

bool isCommandValid(const CCmdArray& command) {
  for (const CCmdArray* l = &command.first(); l; l = l->next())
    for (const auto& a : l->actions())
      if (findCatalogueEntry(a->typeName)) return true;
  return false;
}

bool isFolderValid(const APPFOLDER& folder, const std::function<bool(std::string_view)>& fileFound) {
  if (isSpecialFolderName(folder.name)) return true;
  return !folder.fileName().empty() && fileFound(folder.fileName());
}

namespace {

std::string_view baseName(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view stem(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string_view extension(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

}  // namespace

CIniFile buildLocations(const std::vector<std::string>& appPathKeys, const std::vector<ShortcutTarget>& shortcuts) {
  CIniFile ini;
  std::vector<CIniFile::Entry> registry;
  for (const std::string& key : appPathKeys)
    registry.emplace_back("%" + key + "%",
                          "HKEY_LOCAL_MACHINE\\" + std::string(kAppPathsKey) + "\\" + key + "\\");
  ini.appendEntries("Registry", registry);
  for (const ShortcutTarget& t : shortcuts) {
    const std::string_view name = baseName(t.path);
    if (!t.exists || !iequals(extension(name), "exe") || !iequals(stem(name), stem(baseName(t.dataName)))) continue;
    ini.setString("Locations", "%" + std::string(name) + "%", t.path);
  }
  return ini;
}

std::string resolvePlaceholder(std::string_view fileName, const CIniFile& locations, const RegistryReader& registry) {
  if (fileName.empty() || fileName.front() != '%') return std::string(fileName);
  std::string result;
  if (auto entry = locations.find("Registry", fileName)) {
    const std::string& path = *entry;
    const size_t first = path.find('\\');
    const size_t last = path.rfind('\\');
    if (first != std::string::npos && last > first && registry) {
      const std::string_view root = std::string_view(path).substr(0, first);
      const std::string_view key = std::string_view(path).substr(first + 1, last - first - 1);
      const std::string_view value = std::string_view(path).substr(last + 1);
      for (std::string_view known : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                     "HKEY_CURRENT_CONFIG"})
        if (iequals(root, known)) {
          if (auto v = registry(known, key, value)) result = *v;
          break;
        }
    }
  }
  if (result.empty())
    if (auto location = locations.find("Locations", fileName)) result = *location;
  return result.empty() ? std::string(kNotAvailable) : result;
}

std::optional<std::string> acceptLocatedPath(std::string_view typed,
                                             const std::function<bool(std::string_view)>& exists) {
  if (typed.empty()) return std::string(kNotAvailable);
  if (exists(typed)) return std::string(typed);
  if (extension(baseName(typed)).empty())
    for (std::string_view ext : {".exe", ".com"}) {
      const std::string candidate = std::string(typed) + std::string(ext);
      if (exists(candidate)) return candidate;
    }
  return std::nullopt;
}

std::string resolvePlaceholderInteractively(std::string_view fileName, const CIniFile& locations,
                                            const RegistryReader& registry,
                                            const std::function<bool(std::string_view)>& exists,
                                            const std::function<std::optional<std::string>(std::string_view)>& ask) {
  if (!isPlaceholder(fileName)) return std::string(fileName);
  const std::string found = resolvePlaceholder(fileName, locations, registry);
  if (found != kNotAvailable && exists(found)) return found;
  if (auto located = ask(fileName.substr(1, fileName.size() - 2))) return *located;
  return std::string(fileName.substr(1, fileName.size() - 2));
}

fs::path layoutFile(const fs::path& programFolder, std::string_view folderName) {
  return programFolder / std::string(kAppsFolder) / pathFromUtf8(std::string(folderName) + std::string(kLayoutExt));
}

std::vector<std::string> listLayouts(const fs::path& programFolder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(programFolder / std::string(kAppsFolder), ec)) {
    const std::string name = utf8FromPath(entry.path().filename());
    if (entry.is_regular_file(ec) && iequals(extension(name), kLayoutExt.substr(1)))
      names.emplace_back(stem(name));
  }
  return names;
}

std::optional<fs::path> findLayout(const fs::path& programFolder, std::string_view folderName) {
  for (const std::string& name : listLayouts(programFolder))
    if (iequals(name, folderName)) return layoutFile(programFolder, name);
  return std::nullopt;
}

void writeLayout(const CCmdItem& folderItem, CProfileTree& keys) {
  CProfileTree fresh;
  fresh.appendChild(std::string(kApplicationKey)).setValue("Name", folderItem.label());
  writeFolder(folderItem, fresh, WriteMode::Export);
  keys.replaceContents(fresh);
}

void exportLayout(const CCmdItem& folderItem, const fs::path& file, const ICodePage& codePage) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  CProfileTree keys;
  writeLayout(folderItem, keys);
  saveProfileFile(keys, file, ProfileEncoding::Binary, codePage);
}

bool loadLayout(CCmdTree& tree, CCmdItem& folderItem, const CProfileTree& layout,
                const std::function<std::string(std::string_view)>& resolve) {
  const CProfileKey* key = nullptr;
  for (const auto& top : layout.children())
    if (iequals(top->name(), folderItem.label()) && top->findValue("ID") && *top->findValue("ID") == "2") {
      key = top.get();
      break;
    }
  if (!key) return false;
  const std::string keepName = folderItem.folder()->name;
  loadFolderKey(tree, folderItem, *key);
  folderItem.folder()->name = keepName;
  tree.sortChildren(&folderItem);

  std::map<std::string, std::string> resolved;
  const auto lookUp = [&](const std::string& name) -> std::string {
    if (!isPlaceholder(name)) return name;
    auto [it, fresh] = resolved.try_emplace(name);
    if (fresh) it->second = resolve(name);
    return it->second;
  };
  const auto fix = [&](CCmdArray& command) {
    for (CCmdArray* l = &command; l; l = l->next())
      for (auto& a : l->actions()) a->fileName = lookUp(a->fileName);
  };
  APPFOLDER& folder = *folderItem.folder();
  fix(folder.appCommand());
  for (const auto& c : folderItem.children())
    if (c->command()) fix(*c->command());
  folder.loadFileName(lookUp(folder.fileName()));
  tree.markModified();
  return true;
}

}  // namespace vexa
