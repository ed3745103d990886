#pragma once
// Named or anonymous mutexes and events.
#include <string>

#include "vexa/winlib/handle.h"

namespace vexa::win {

class CMutex : public CHandle {
 public:
  // True on success; AlreadyExisted() then tells whether another holder made it first.
  bool Create(const std::wstring& name, bool initialOwner = false);
  bool Open(const std::wstring& name);
  bool AlreadyExisted() const { return m_alreadyExisted; }
  bool Release() { return ReleaseMutex(Get()) != FALSE; }

 private:
  bool m_alreadyExisted = false;
};

class CEvent : public CHandle {
 public:
  bool Create(const std::wstring& name, bool manualReset, bool initialState);
  bool CreateAnonymous(bool manualReset, bool initialState);
  bool Open(const std::wstring& name);
  bool AlreadyExisted() const { return m_alreadyExisted; }
  bool Set() { return SetEvent(Get()) != FALSE; }
  bool Reset() { return ResetEvent(Get()) != FALSE; }

 private:
  bool m_alreadyExisted = false;
};

}  // namespace vexa::win
