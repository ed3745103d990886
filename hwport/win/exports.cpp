// hwport.dll: port I/O, PCI configuration and the capture chip's register
// window through the kernel driver, for the TV-card plug-in.

#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "hwport/control_codes.h"
#include "hwport/mapping_count.h"
#include "hwport/pci_resources.h"
#include "hwport/port_result.h"
#include "hwport/win/driver_loader.h"

using namespace vexa::hwport;

// Every process that loads the library counts mappings in this one place.
__attribute__((section(".shared"), shared)) SharedMapping g_sharedMapping = {0, 0};

namespace {

// The library's own instance: built at process attach, gone at detach. The
// exports are plain functions, so they reach it through this one pointer.
CDriverLoader* g_loader = nullptr;

CDriverLoader& Loader() { return *g_loader; }

std::wstring LibraryFolder(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  while (length == path.size()) {
    path.resize(path.size() * 2);
    length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  }
  path.resize(length);
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

DWORD SendWithWord(DWORD code, const void* input, DWORD inputSize, DWORD* word) {
  *word = 0;
  Loader().ControlWithOutput(code, input, inputSize, word, sizeof(*word));
  return Loader().ErrorCode();
}

DWORD Send(DWORD code, const InputRecord& record) {
  Loader().Control(code, &record, sizeof(record));
  return Loader().ErrorCode();
}

DWORD ReadPortWord(DWORD code, DWORD port, DWORD* word) {
  const DWORD input = port;
  return SendWithWord(code, &input, sizeof(input), word);
}

DWORD ReadPciConfig(DWORD vendorId, DWORD deviceId, BYTE* buffer) {
  if (!Loader().IsLoaded()) return ERROR_ACCESS_DENIED;
  const InputRecord record = pciRecord(vendorId, deviceId);
  Loader().ControlWithOutput(code::pciConfig, &record, sizeof(record), buffer, kPciConfigBytes);
  return Loader().ErrorCode();
}

}  // namespace

extern "C" {

DWORD WINAPI ReadPort(DWORD port) {
  DWORD word = 0;
  const DWORD error = ReadPortWord(code::readPort, port, &word);
  return byteReadResult(error, word);
}

DWORD WINAPI ReadPortW(DWORD port) {
  DWORD word = 0;
  const DWORD error = ReadPortWord(code::readPortW, port, &word);
  return wordReadResult(error, word);
}

DWORD WINAPI ReadPortL(DWORD port) {
  DWORD word = 0;
  ReadPortWord(code::readPortL, port, &word);
  return word;
}

DWORD WINAPI WritePort(DWORD port, DWORD value) {
  return Send(code::writePort, portWriteRecord(port, value, PortWidth::byte));
}

DWORD WINAPI WritePortW(DWORD port, DWORD value) {
  return Send(code::writePortW, portWriteRecord(port, value, PortWidth::word));
}

DWORD WINAPI WritePortL(DWORD port, DWORD value) {
  return Send(code::writePortL, portWriteRecord(port, value, PortWidth::dword));
}

DWORD WINAPI MemMap(DWORD base, DWORD size) {
  MappingCounter counter(g_sharedMapping);
  return counter.map(base, size, [](uint32_t b, uint32_t s) {
    const InputRecord record = twoWordRecord(b, s);
    DWORD word = 0;
    SendWithWord(code::memMap, &record, sizeof(record), &word);
    return static_cast<uint32_t>(word);
  });
}

void WINAPI MemUnmap(DWORD base, DWORD size) {
  MappingCounter counter(g_sharedMapping);
  counter.unmap(base, size, [](uint32_t b, uint32_t s) { Send(code::memUnmap, twoWordRecord(b, s)); });
}

DWORD WINAPI MemRead(DWORD offset) {
  DWORD word = 0;
  SendWithWord(code::memRead, &offset, sizeof(offset), &word);
  return word;
}

DWORD WINAPI MemWrite(DWORD offset, DWORD value) { return Send(code::memWrite, twoWordRecord(offset, value)); }

DWORD WINAPI MemMapEx(DWORD first, DWORD second) {
  const InputRecord record = twoWordRecord(first, second);
  DWORD word = 0;
  SendWithWord(code::memMapEx, &record, sizeof(record), &word);
  return word;
}

DWORD WINAPI MemAlloc(DWORD first, DWORD /*second*/, DWORD* wordA, DWORD* wordB) {
  DWORD output[3] = {0, 0, 0};
  Loader().ControlWithOutput(code::memAlloc, &first, sizeof(first), output, sizeof(output));
  if (wordA) *wordA = output[0];
  if (wordB) *wordB = output[1];
  return Loader().ErrorCode();
}

DWORD WINAPI MemFree(DWORD word) {
  Loader().Control(code::memFree, &word, sizeof(word));
  return Loader().ErrorCode();
}

DWORD WINAPI pciGetCommonConfig(DWORD vendorId, DWORD deviceId, BYTE* buffer) {
  return ReadPciConfig(vendorId, deviceId, buffer);
}

DWORD WINAPI pciGetHardwareResources(DWORD vendorId, DWORD deviceId, DWORD* base, DWORD* size, DWORD* irq) {
  BYTE config[kPciConfigBytes] = {};
  const DWORD error = ReadPciConfig(vendorId, deviceId, config);
  HardwareResources found;
  if (error == 0) found = resourcesFromConfig(std::span<const uint8_t, kPciConfigBytes>(config, kPciConfigBytes));
  if (base) *base = found.base;
  if (size) *size = found.size;
  if (irq) *irq = found.irq;
  return error;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      g_loader = new (std::nothrow) CDriverLoader();
      if (g_loader && g_loader->Load(LibraryFolder(instance))) return TRUE;
      // Stops a service this load started, whether or not detach follows.
      delete g_loader;
      g_loader = nullptr;
      return FALSE;
    case DLL_PROCESS_DETACH:
      // Only closing handles and stopping the service: the loader lock is held.
      delete g_loader;
      g_loader = nullptr;
      return TRUE;
    default:
      return TRUE;
  }
}

}  // extern "C"
