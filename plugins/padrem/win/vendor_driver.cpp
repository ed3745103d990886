#include "plugins/padrem/win/vendor_driver.h"

#include <filesystem>
#include <string>

namespace vexa::padrem {

namespace {

constexpr const char* kSetupKey = "SOFTWARE\\Logitech\\LogiMedia\\CurrentVersion";
constexpr const char* kFolderValue = "LRemote";
constexpr DWORD kAttachFlags = 0x30100;

using OpenFn = int(WINAPI*)();
using CloseFn = int(WINAPI*)();
using GetReceiverFn = int(WINAPI*)(HANDLE* receiver);
using AttachFn = int(WINAPI*)(HANDLE receiver, HWND window, UINT message, DWORD reserved, DWORD flags,
                              HANDLE* attachment);
using DetachFn = int(WINAPI*)(HANDLE attachment);

template <class Fn>
Fn as(FARPROC entry) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(entry));
}

std::string registeredFolder() {
  char folder[MAX_PATH] = {};
  DWORD size = sizeof folder;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kSetupKey, kFolderValue, RRF_RT_REG_SZ, nullptr, folder, &size) !=
      ERROR_SUCCESS)
    return {};
  return folder;
}

}  // namespace

bool CVendorDriver::Open() {
  Release();
  const std::string folder = registeredFolder();
  if (folder.empty()) return false;
  const std::filesystem::path base(folder);
  if (!m_driver.Load(base / "LMRCDRV.DLL") || !m_remote.Load(base / "LREMOTE.DLL")) {
    Release();
    return false;
  }
  for (int ordinal = kFirstOrdinal; ordinal < kFirstOrdinal + kEntries; ++ordinal)
    m_entries[static_cast<size_t>(ordinal - kFirstOrdinal)] =
        GetProcAddress(m_remote.Get(), MAKEINTRESOURCEA(ordinal));
  auto open = as<OpenFn>(Entry(100));
  if (!open || open() != 0) {
    Release();
    return false;
  }
  m_open = true;
  return true;
}

bool CVendorDriver::FindReceiver() {
  auto getReceiver = as<GetReceiverFn>(Entry(102));
  return m_open && getReceiver && getReceiver(&m_receiver) == 0;
}

bool CVendorDriver::Attach(HWND window, UINT message) {
  auto attach = as<AttachFn>(Entry(108));
  if (!m_open || !attach) return false;
  Detach();
  return attach(m_receiver, window, message, 0, kAttachFlags, &m_attachment) == 0;
}

void CVendorDriver::Detach() {
  auto detach = as<DetachFn>(Entry(109));
  if (m_attachment && detach) detach(m_attachment);
  m_attachment = nullptr;
}

void CVendorDriver::Release() {
  Detach();
  if (m_open)
    if (auto close = as<CloseFn>(Entry(101))) close();
  m_open = false;
  m_receiver = nullptr;
  m_entries.fill(nullptr);
  m_remote.Close();
  m_driver.Close();
}

}  // namespace vexa::padrem
