#include "vexa/winlib/sync.h"

namespace vexa::win {

bool CMutex::Create(const std::wstring& name, bool initialOwner) {
  Attach(CreateMutexW(nullptr, initialOwner, name.empty() ? nullptr : name.c_str()));
  m_alreadyExisted = IsValid() && GetLastError() == ERROR_ALREADY_EXISTS;
  return IsValid();
}

bool CMutex::Open(const std::wstring& name) {
  Attach(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str()));
  return IsValid();
}

bool CEvent::Create(const std::wstring& name, bool manualReset, bool initialState) {
  Attach(CreateEventW(nullptr, manualReset, initialState, name.empty() ? nullptr : name.c_str()));
  m_alreadyExisted = IsValid() && GetLastError() == ERROR_ALREADY_EXISTS;
  return IsValid();
}

bool CEvent::CreateAnonymous(bool manualReset, bool initialState) {
  return Create(std::wstring(), manualReset, initialState);
}

bool CEvent::Open(const std::wstring& name) {
  Attach(OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, name.c_str()));
  return IsValid();
}

}  // namespace vexa::win
