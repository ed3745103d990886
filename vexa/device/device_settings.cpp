#include "vexa/device/device_settings.h"

#include <cstdio>

#include "vexa/device/binary_text.h"

namespace vexa::device {

namespace {

std::string decimal(int32_t v) { return std::to_string(v); }
std::string decimal(uint32_t v) { return std::to_string(static_cast<int32_t>(v)); }  // "%d"

void addSamples(std::vector<CIniFile::Entry>& out, const char* key, const std::vector<uint32_t>& samples) {
  if (samples.empty()) return;
  out.emplace_back(key, encodeSamples(samples));
  out.emplace_back(std::string(key) + "Len", std::to_string(samples.size() * 4u));  // "%u"
}

std::vector<uint32_t> readSamples(const CIniFile& ini, std::string_view section, const char* key) {
  const auto text = ini.find(section, key);
  if (!text) return {};
  const auto len = ini.find(section, std::string(key) + "Len");
  return decodeSamples(*text, len ? parseInteger(*len) : 0);
}

uint32_t readWord(const CIniFile& ini, std::string_view section, std::string_view key) {
  return static_cast<uint32_t>(ini.getInt(section, key, 0));
}

}  // namespace

std::string selectorKey(std::string_view caption, int which) {
  if (!caption.empty()) return std::string(caption);
  return std::string(which == 2 ? kSelector2Key : kSelector1Key);
}

void writeHostSections(CIniFile& ini, const HostSettings& settings, const CCodeStore& store) {
  std::vector<CIniFile::Entry> config{{std::string(kDeviceNameKey), settings.deviceName}};
  if (settings.selector1) config.emplace_back(settings.selector1->key, settings.selector1->value);
  if (settings.selector2) config.emplace_back(settings.selector2->key, settings.selector2->value);
  ini.appendEntries(kDeviceConfigSection, config);

  for (const auto& [remoteName, remote] : store.remotes()) writeRemoteSections(ini, remoteName, remote);
}

void writeRemoteSections(CIniFile& ini, std::string_view remoteName, const DeviceRemote& remote) {
  ini.appendEntries(remoteName, {{"dwTolerance", decimal(int32_t(remote.tolerance))},
                                 {"dwMode", decimal(int32_t(remote.mode))}});
  for (const auto& [commandName, code] : remote.commands) {
    std::vector<CIniFile::Entry> entries;
    if ((code.flags & CodeFlag::kRaw) && !code.signature.empty()) {
      entries.emplace_back("Flags", decimal(code.flags));
      entries.emplace_back("Signature", encodeBinaryText(code.signature));
    } else if (code.flags & CodeFlag::kTiming) {
      entries.emplace_back("Flags", decimal(code.flags));
      addSamples(entries, "Raw", code.raw);
      addSamples(entries, "Toggled", code.toggled);
      addSamples(entries, "Repeat", code.repeat);
      addSamples(entries, "Stop", code.stop);
      entries.emplace_back("Gap", decimal(code.gap));
      entries.emplace_back("RepeatGap", decimal(code.repeatGap));
      entries.emplace_back("T", decimal(code.t));
      if (code.flags & CodeFlag::kDecoded) entries.emplace_back("Decoded", decimal(code.decoded));
    }
    if (!entries.empty()) ini.appendEntries(commandName + "@" + std::string(remoteName), entries);
  }
}

std::vector<std::string> sectionNamesOf(std::string_view text) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = trim(text.substr(start, end - start));
    start = end + 1;
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') continue;
    names.emplace_back(trim(line.substr(1, line.size() - 2)));
  }
  return names;
}

void readCodeStore(std::string_view text, CCodeStore& store) {
  store.clear();
  const CIniFile ini = CIniFile::parse(text);
  const std::vector<std::string> sections = sectionNamesOf(text);
  for (const std::string& section : sections) {
    if (iequals(section, kDeviceConfigSection)) continue;
    const uint32_t flags = static_cast<uint32_t>(ini.getInt(section, "Flags", 0x20));
    const size_t at = section.find('@');
    if (at == std::string::npos || at == 0) continue;
    const std::string command = section.substr(0, at);
    const std::string remote = section.substr(at + 1);
    DeviceCode code;
    code.flags = flags;
    if (flags & CodeFlag::kRaw) {
      code.signature = decodeBinaryText(ini.getString(section, "Signature"));
      store.ensureRemote(remote, 0);
      store.setCode(remote, command, std::move(code));
    } else if (flags & CodeFlag::kTiming) {
      store.ensureRemote(remote, 1);
      code.raw = readSamples(ini, section, "Raw");
      code.toggled = readSamples(ini, section, "Toggled");
      code.repeat = readSamples(ini, section, "Repeat");
      code.stop = readSamples(ini, section, "Stop");
      code.gap = readWord(ini, section, "Gap");
      code.repeatGap = readWord(ini, section, "RepeatGap");
      code.t = readWord(ini, section, "T");
      code.decoded = readWord(ini, section, "Decoded");
      store.setCode(remote, command, std::move(code));
    }
  }
  // Remote settings come from the remotes' own sections.
  for (const auto& [name, remote] : RemoteMap(store.remotes()))
    store.setRemoteSettings(name, ini.getInt(name, "dwTolerance", remote.tolerance),
                            ini.getInt(name, "dwMode", remote.mode));
}

std::string readSelectorChoice(const CIniFile& ini, std::string_view caption, int which) {
  return ini.getString(kDeviceConfigSection, selectorKey(caption, which));
}

}  // namespace vexa::device
