#include "plugins/tunerbox/win/hwport_binding.h"

#include "plugins/kit/win/module_info.h"
#include "plugins/tunerbox/win/tunerbox_texts.h"

namespace vexa::tunerbox {
namespace {

std::wstring folderOf(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

constexpr DWORD kNotBound = ERROR_NOT_READY;

}  // namespace

std::vector<std::wstring> CHwportBinding::Candidates() {
  std::vector<std::wstring> files;
  for (HMODULE module : {kit::thisModule(), static_cast<HMODULE>(nullptr)}) {
    const std::wstring folder = folderOf(module);
    if (!folder.empty()) files.push_back(folder + L"hwport.dll");
  }
  return files;
}

bool CHwportBinding::Bind() {
  if (m_tried) return !m_failed;
  m_tried = true;
  for (const std::wstring& file : Candidates()) {
    // The library's own imports are then resolved from its folder too.
    m_module.Attach(LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (m_module.IsValid()) break;
  }
  if (!m_module.IsValid()) return false;
  if (!TakeEntryPoints()) {
    MessageBoxA(nullptr, "Could not intialize driver", kCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    m_module.Close();
    return false;
  }
  m_failed = false;
  return true;
}

bool CHwportBinding::TakeEntryPoints() {
  m_pciGetHardwareResources = m_module.GetProc<decltype(m_pciGetHardwareResources)>("pciGetHardwareResources");
  m_pciGetCommonConfig = m_module.GetProc<decltype(m_pciGetCommonConfig)>("pciGetCommonConfig");
  m_memUnmap = m_module.GetProc<decltype(m_memUnmap)>("MemUnmap");
  m_memRead = m_module.GetProc<decltype(m_memRead)>("MemRead");
  m_memWrite = m_module.GetProc<decltype(m_memWrite)>("MemWrite");
  m_memMap = m_module.GetProc<decltype(m_memMap)>("MemMap");
  return m_pciGetHardwareResources && m_pciGetCommonConfig && m_memUnmap && m_memRead && m_memWrite && m_memMap;
}

uint32_t CHwportBinding::pciGetHardwareResources(uint32_t vendorId, uint32_t deviceId, uint32_t* base,
                                                 uint32_t* size, uint32_t* irq) {
  *base = *size = *irq = 0;
  if (m_failed) return kNotBound;
  DWORD b = 0, s = 0, i = 0;
  const DWORD result = m_pciGetHardwareResources(vendorId, deviceId, &b, &s, &i);
  *base = b, *size = s, *irq = i;
  return result;
}

uint32_t CHwportBinding::pciGetCommonConfig(uint32_t vendorId, uint32_t deviceId, uint8_t* config256) {
  return m_failed ? kNotBound : m_pciGetCommonConfig(vendorId, deviceId, config256);
}

uint32_t CHwportBinding::memMap(uint32_t base, uint32_t size) { return m_failed ? 0 : m_memMap(base, size); }

void CHwportBinding::memUnmap(uint32_t base, uint32_t size) {
  if (!m_failed) m_memUnmap(base, size);
}

uint32_t CHwportBinding::memRead(uint32_t offset) { return m_failed ? 0 : m_memRead(offset); }

uint32_t CHwportBinding::memWrite(uint32_t offset, uint32_t value) {
  return m_failed ? kNotBound : m_memWrite(offset, value);
}

}  // namespace vexa::tunerbox
