// Dial-up through "rasapi32.dll", loaded at each call: a system without
// dial-up networking is an ordinary failure.
#include <windows.h>
#include <ras.h>
#include <raserror.h>

#include "vexa/exec/win/actions/system_actions.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

constexpr size_t kMaxConnections = 20;
using EntryName = RASENTRYNAMEA;  // a macro naming the struct

template <class F>
F rasEntry(const win::CModule& ras, const char* ansiName, const char* plainName) {
  if (auto f = ras.GetProc<F>(ansiName)) return f;
  return ras.GetProc<F>(plainName);
}

using GetErrorString = DWORD(WINAPI*)(UINT, LPSTR, DWORD);

using HangUp = DWORD(WINAPI*)(HRASCONN);

// The library with the two entries every call needs; false when any is missing.
struct RasLibrary {
  win::CModule module;
  GetErrorString errorText = nullptr;
  HangUp hangUp = nullptr;

  bool Load(const std::wstring& library) {
    if (!module.Load(library.c_str())) return false;
    errorText = rasEntry<GetErrorString>(module, "RasGetErrorStringA", "RasGetErrorString");
    hangUp = rasEntry<HangUp>(module, "RasHangUpA", "RasHangUp");
    return errorText && hangUp;
  }
};

std::string rasError(GetErrorString text, DWORD code) {
  char buffer[257] = {};
  if (text && text(code, buffer, 256) == 0 && buffer[0]) return win::toUtf8(win::ansiToWide(buffer));
  return "RASErr " + std::to_string(code);
}

}  // namespace

DialResult CWindowsSystemActions::dial(std::string_view entry) {
  using GetParams = DWORD(WINAPI*)(LPCSTR, LPRASDIALPARAMSA, LPBOOL);
  using Dial = DWORD(WINAPI*)(LPRASDIALEXTENSIONS, LPCSTR, LPRASDIALPARAMSA, DWORD, LPVOID, LPHRASCONN);
  DialResult r;
  RasLibrary ras;
  if (!ras.Load(m_dialUpLibrary)) return r;
  const auto getParams = rasEntry<GetParams>(ras.module, "RasGetEntryDialParamsA", "RasGetEntryDialParams");
  const auto dialEntry = rasEntry<Dial>(ras.module, "RasDialA", "RasDial");
  if (!getParams || !dialEntry) return r;
  RASDIALPARAMSA params{};
  params.dwSize = sizeof params;
  const std::string ansi = win::wideToAnsi(win::toWide(entry));
  lstrcpynA(params.szEntryName, ansi.c_str(), RAS_MaxEntryName + 1);
  BOOL hasPassword = FALSE;
  if (getParams(nullptr, &params, &hasPassword) != 0 || !hasPassword) {
    r.outcome = DialResult::Outcome::NoEntry;
    return r;
  }
  HRASCONN connection = nullptr;
  const DWORD result = dialEntry(nullptr, nullptr, &params, 0, nullptr, &connection);
  SecureZeroMemory(params.szPassword, sizeof params.szPassword);
  if (result == 0) {
    r.outcome = DialResult::Outcome::Connected;
    return r;
  }
  // A failed dial still holds a connection handle until it is hung up.
  if (connection) ras.hangUp(connection);
  r.outcome = DialResult::Outcome::Failed;
  r.error = rasError(ras.errorText, result);
  return r;
}

HangUpResult CWindowsSystemActions::hangUpAll() {
  using Enum = DWORD(WINAPI*)(LPRASCONNA, LPDWORD, LPDWORD);
  HangUpResult r;
  RasLibrary ras;
  if (!ras.Load(m_dialUpLibrary)) return r;
  const auto enumerate = rasEntry<Enum>(ras.module, "RasEnumConnectionsA", "RasEnumConnections");
  if (!enumerate) return r;
  RASCONNA connections[kMaxConnections] = {};
  connections[0].dwSize = sizeof(RASCONNA);
  DWORD bytes = sizeof connections, count = 0;
  if (enumerate(connections, &bytes, &count) != 0) {
    r.outcome = HangUpResult::Outcome::EnumerationFailed;
    return r;
  }
  for (DWORD i = 0; i < count && i < kMaxConnections; ++i) {
    if (const DWORD error = ras.hangUp(connections[i].hrasconn); error != 0) {
      r.outcome = HangUpResult::Outcome::Failed;
      char buffer[257] = {};
      r.error = ras.errorText(error, buffer, 256) == 0 && buffer[0]
                    ? win::toUtf8(win::ansiToWide(buffer))
                    : "Undefined RAS HangUp Error (" + std::to_string(error) + ").";
      return r;
    }
  }
  r.outcome = HangUpResult::Outcome::Done;
  return r;
}

std::vector<std::string> CWindowsSystemActions::dialEntries(bool& available) {
  using Enum = DWORD(WINAPI*)(LPCSTR, LPCSTR, LPRASENTRYNAMEA, LPDWORD, LPDWORD);
  std::vector<std::string> names;
  available = false;
  win::CModule ras;
  if (!ras.Load(m_dialUpLibrary.c_str())) return names;
  const auto enumerate = rasEntry<Enum>(ras, "RasEnumEntriesA", "RasEnumEntries");
  if (!enumerate) return names;
  available = true;
  std::vector<EntryName> entries(1);
  entries[0].dwSize = sizeof(RASENTRYNAMEA);
  DWORD bytes = sizeof(RASENTRYNAMEA), count = 0;
  DWORD result = enumerate(nullptr, nullptr, entries.data(), &bytes, &count);
  if (result == ERROR_BUFFER_TOO_SMALL && bytes >= sizeof(RASENTRYNAMEA)) {
    entries.assign(bytes / sizeof(EntryName) + 1, EntryName{});
    entries[0].dwSize = sizeof(RASENTRYNAMEA);
    bytes = static_cast<DWORD>(entries.size() * sizeof(RASENTRYNAMEA));
    result = enumerate(nullptr, nullptr, entries.data(), &bytes, &count);
  }
  if (result != 0) return names;
  for (DWORD i = 0; i < count && i < entries.size(); ++i)
    names.push_back(win::toUtf8(win::ansiToWide(entries[i].szEntryName)));
  return names;
}

}  // namespace vexa::exec
