// A good first-generation plug-in: one remote with one button, settings in the
// registry key the host hands it, and a test export that "receives" a button.
#include "fake_export.h"

namespace {
HWND g_host = nullptr;
int g_released = 0;
int g_ended = 0;
char g_stored[64] = "";
}  // namespace

FAKE_EXPORT void VEXA_PLUGIN_CALL GetPlugInfo(PlugInfoRecord* out, uint32_t magic) {
  if (magic != kPlugInfoMagic) return;
  out->size = kPlugInfoSize;
  std::memset(out->displayName, 'Z', sizeof out->displayName);  // overwritten below, terminated
  std::strcpy(out->displayName, "Fake Classic");
  std::strcpy(out->version, "1.0.0");
  std::strcpy(out->moduleName, "good1.dll");
}
FAKE_EXPORT int VEXA_PLUGIN_CALL StartMsgLoop(WindowHandle hostHandle) {
  const HWND host = static_cast<HWND>(hostHandle);
  g_host = host;
  return 1;
}
FAKE_EXPORT void VEXA_PLUGIN_CALL EndMsgLoop() { ++g_ended; }
FAKE_EXPORT void VEXA_PLUGIN_CALL Release() { ++g_released; }
FAKE_EXPORT int VEXA_PLUGIN_CALL ReadConfig(KeyHandle keyHandle) {
  const HKEY key = static_cast<HKEY>(keyHandle);
  DWORD size = sizeof g_stored - 1;
  if (RegQueryValueExA(key, "Stored", nullptr, nullptr, reinterpret_cast<BYTE*>(g_stored), &size) != ERROR_SUCCESS)
    g_stored[0] = '\0';
  return 1;
}
FAKE_EXPORT int VEXA_PLUGIN_CALL WriteConfig(KeyHandle keyHandle) {
  const HKEY key = static_cast<HKEY>(keyHandle);
  static const char value[] = "saved";
  return RegSetValueExA(key, "Stored", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value) == ERROR_SUCCESS;
}
FAKE_EXPORT WindowHandle VEXA_PLUGIN_CALL CreateCfgDlg(Point* at, WindowHandle parentHandle) {
  const HWND parent = static_cast<HWND>(parentHandle);
  return CreateWindowExA(0, "STATIC", "Fake Classic Page", WS_CHILD, at->x, at->y, 300, 200, parent, nullptr,
                         GetModuleHandleA("good1.dll"), nullptr);
}
FAKE_EXPORT intptr_t VEXA_PLUGIN_CALL GetFirstRmt(char* name) {
  std::strcpy(name, "Classic Remote");
  return 1;
}
FAKE_EXPORT int VEXA_PLUGIN_CALL GetNextRmt(int*, char*) { return 0; }
// Command cursors as node addresses, above 4 GB in the 64-bit build.
constexpr intptr_t kPlayNode = sizeof(intptr_t) > 4 ? static_cast<intptr_t>(0x7E5700001000LL) : 0x7E571000;
constexpr intptr_t kPauseNode = kPlayNode + 0x40;
FAKE_EXPORT intptr_t VEXA_PLUGIN_CALL GetFirstCmd(const char*, char* name) {
  std::strcpy(name, "Play");
  return kPlayNode;
}
FAKE_EXPORT int VEXA_PLUGIN_CALL GetNextCmd(intptr_t* cursor, char* name) {
  if (*cursor != kPlayNode) return 0;
  std::strcpy(name, "Pause");
  *cursor = kPauseNode;
  return 1;
}

// ---- For the tests only
FAKE_EXPORT LRESULT FakeSendCommand(const char* remote, const char* command) {
  auto* record = new CommandRecord{};
  copyField(record->remote, remote);
  copyField(record->command, command);
  return SendMessageA(g_host, kVexaMessage, MainCode::kCommand, reinterpret_cast<LPARAM>(record));
}
FAKE_EXPORT int FakeReleased() { return g_released; }
FAKE_EXPORT int FakeEnded() { return g_ended; }
FAKE_EXPORT const char* FakeStored() { return g_stored; }

FAKE_MATCHES_CONTRACT(GetPlugInfo);
FAKE_MATCHES_CONTRACT(StartMsgLoop);
FAKE_MATCHES_CONTRACT(EndMsgLoop);
FAKE_MATCHES_CONTRACT(Release);
FAKE_MATCHES_CONTRACT(ReadConfig);
FAKE_MATCHES_CONTRACT(WriteConfig);
FAKE_MATCHES_CONTRACT(CreateCfgDlg);
FAKE_MATCHES_CONTRACT(GetFirstRmt);
FAKE_MATCHES_CONTRACT(GetNextRmt);
FAKE_MATCHES_CONTRACT(GetFirstCmd);
FAKE_MATCHES_CONTRACT(GetNextCmd);
