#include "vexa/device/win/plugin_adapter.h"

#include "vexa/device/win/first_generation_adapter.h"
#include "vexa/device/win/second_generation_adapter.h"

namespace vexa::device {

namespace {

std::string nameOf(const char (&field)[abi::kEnumNameBuffer]) { return std::string(field, abi::fieldLength(field)); }

}  // namespace

std::optional<std::string> IPluginAdapter::FirstRemote() {
  if (!m_names.getFirstRmt) return std::nullopt;
  char name[abi::kEnumNameBuffer] = {};
  m_remoteCursor = static_cast<int>(m_names.getFirstRmt(name));
  return m_remoteCursor ? nameOf(name) : std::string();
}

std::optional<std::string> IPluginAdapter::NextRemote() {
  if (!m_names.getNextRmt) return std::nullopt;
  char name[abi::kEnumNameBuffer] = {};
  if (!m_remoteCursor || !m_names.getNextRmt(&m_remoteCursor, name)) return std::string();
  return nameOf(name);
}

std::optional<std::string> IPluginAdapter::FirstCommand(const std::string& remote) {
  if (!m_names.getFirstCmd) return std::nullopt;
  char name[abi::kEnumNameBuffer] = {};
  m_commandCursor = m_names.getFirstCmd(remote.c_str(), name);
  return m_commandCursor ? nameOf(name) : std::string();
}

std::optional<std::string> IPluginAdapter::NextCommand() {
  if (!m_names.getNextCmd) return std::nullopt;
  char name[abi::kEnumNameBuffer] = {};
  if (!m_commandCursor || !m_names.getNextCmd(&m_commandCursor, name)) return std::string();
  return nameOf(name);
}

std::unique_ptr<IPluginAdapter> makePluginAdapter(PluginGeneration generation, win::CModule module,
                                                  const abi::DeviceRecord& record, HANDLE terminateEvent,
                                                  HANDLE exitEvent) {
  if (!module.IsValid()) return nullptr;
  if (generation == PluginGeneration::First)
    return std::make_unique<CFirstGenerationAdapter>(std::move(module), record);
  return std::make_unique<CSecondGenerationAdapter>(std::move(module), record, terminateEvent, exitEvent);
}

}  // namespace vexa::device
