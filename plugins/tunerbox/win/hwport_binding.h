#pragma once
// hwport.dll bound by its six entry points. It is looked for by absolute path
// only, beside the plug-in and then beside the program: a library of that name
// planted in the current folder would otherwise run with the program's rights.
#include <windows.h>

#include <string>
#include <vector>

#include "plugins/tunerbox/hardware_library.h"
#include "vexa/winlib/module.h"

namespace vexa::tunerbox {

inline constexpr const char* kHwportFile = "hwport.dll";

class CHwportBinding final : public IHardwareLibrary {
 public:
  // The places looked at, in order.
  static std::vector<std::wstring> Candidates();

  // Binds once; later calls answer as the first did. A missing entry point is
  // reported to the user, a missing library (or driver) silently.
  bool Bind();
  bool Failed() const { return m_failed; }

  uint32_t pciGetHardwareResources(uint32_t vendorId, uint32_t deviceId, uint32_t* base, uint32_t* size,
                                   uint32_t* irq) override;
  uint32_t pciGetCommonConfig(uint32_t vendorId, uint32_t deviceId, uint8_t* config256) override;
  uint32_t memMap(uint32_t base, uint32_t size) override;
  void memUnmap(uint32_t base, uint32_t size) override;
  uint32_t memRead(uint32_t offset) override;
  uint32_t memWrite(uint32_t offset, uint32_t value) override;

 private:
  bool TakeEntryPoints();

  bool m_tried = false;
  bool m_failed = true;
  win::CModule m_module;
  DWORD(WINAPI* m_pciGetHardwareResources)(DWORD, DWORD, DWORD*, DWORD*, DWORD*) = nullptr;
  DWORD(WINAPI* m_pciGetCommonConfig)(DWORD, DWORD, BYTE*) = nullptr;
  void(WINAPI* m_memUnmap)(DWORD, DWORD) = nullptr;
  DWORD(WINAPI* m_memRead)(DWORD) = nullptr;
  DWORD(WINAPI* m_memWrite)(DWORD, DWORD) = nullptr;
  DWORD(WINAPI* m_memMap)(DWORD, DWORD) = nullptr;
};

}  // namespace vexa::tunerbox
