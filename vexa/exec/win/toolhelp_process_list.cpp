// Process enumeration through tool-help snapshots.
#include <windows.h>
#include <tlhelp32.h>

#include "vexa/base/strings.h"
#include "vexa/exec/exec_names.h"
#include "vexa/exec/win/process_list.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

struct ToolhelpApi {
  decltype(&CreateToolhelp32Snapshot) snapshot = nullptr;
  decltype(&Process32FirstW) processFirst = nullptr;
  decltype(&Process32NextW) processNext = nullptr;
  decltype(&Module32FirstW) moduleFirst = nullptr;
  decltype(&Module32NextW) moduleNext = nullptr;
  decltype(&Thread32First) threadFirst = nullptr;
  decltype(&Thread32Next) threadNext = nullptr;

  bool load() {
    // The kernel stays loaded for the life of the process.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return false;
    const auto get = [&](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
      return fn != nullptr;
    };
    return get(snapshot, "CreateToolhelp32Snapshot") && get(processFirst, "Process32FirstW") &&
           get(processNext, "Process32NextW") && get(moduleFirst, "Module32FirstW") &&
           get(moduleNext, "Module32NextW") && get(threadFirst, "Thread32First") && get(threadNext, "Thread32Next");
  }
};

struct FilterContext {
  WindowOperation* op;
  const void* exeBase;
  bool finished = false;
};

BOOL CALLBACK filterAndApply(HWND window, LPARAM param) {
  auto& ctx = *reinterpret_cast<FilterContext*>(param);
  const HWND target = filterWindow(window, ctx.op->module, ctx.exeBase);
  if (!target) return TRUE;
  applyWindowOperation(target, *ctx.op);
  if (!appliesToFirstWindowOnly(ctx.op->code) && !ctx.op->done) return TRUE;
  ctx.finished = true;
  return FALSE;
}

class CToolhelpProcessList final : public IProcessList {
 public:
  explicit CToolhelpProcessList(const ToolhelpApi& api) : m_api(api) {}
  const char* name() const override { return "tool-help"; }

  ProcessSearch find(std::string_view fileName, WindowOperation* op) override {
    ProcessSearch result;
    win::CHandle processes(snapshot(TH32CS_SNAPPROCESS, 0));
    if (!processes) {
      MessageBoxW(nullptr, L"Could not create Toolhelp32Snapshot", L"Vexa", MB_OK | MB_ICONERROR);
      result.seenAll = false;
      return result;
    }
    const std::string key = processKey(fileName);
    const bool module = isModuleApplication(fileName);
    if (op) op->module = module;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = m_api.processFirst(processes.Get(), &entry); more; more = m_api.processNext(processes.Get(), &entry)) {
      const std::string processName = processKey(win::toUtf8(entry.szExeFile));
      result.seen.push_back(processName);
      const DWORD pid = entry.th32ProcessID;
      const bool match = module ? hasModule(pid, fileName, key) : iequals(processName, key);
      if (!match) continue;
      if (!result.pid) result.pid = pid;
      if (op && !(op->done && !appliesToFirstWindowOnly(op->code))) applyToProcess(pid, *op);
    }
    return result;
  }

 private:
  HANDLE snapshot(DWORD what, DWORD pid) const {
    const HANDLE h = m_api.snapshot(what, pid);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
  }

  template <class Visit>
  void forEachModule(DWORD pid, Visit&& visit) const {
    win::CHandle modules(snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid));
    if (!modules) return;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = m_api.moduleFirst(modules.Get(), &entry); more; more = m_api.moduleNext(modules.Get(), &entry))
      if (!visit(entry)) return;
  }

  bool hasModule(DWORD pid, std::string_view fileName, std::string_view key) const {
    bool found = false;
    forEachModule(pid, [&](const MODULEENTRY32W& m) {
      found = iequals(win::toUtf8(m.szModule), key) || iequals(win::toUtf8(m.szExePath), fileName);
      return !found;
    });
    return found;
  }

  const void* executableBase(DWORD pid) const {
    const void* base = nullptr;
    forEachModule(pid, [&](const MODULEENTRY32W& m) {
      base = m.modBaseAddr;
      return false;
    });
    return base;
  }

  void applyToProcess(DWORD pid, WindowOperation& op) const {
    win::CHandle threads(snapshot(TH32CS_SNAPTHREAD, 0));
    if (!threads) return;
    FilterContext ctx{&op, executableBase(pid)};
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    // EnumThreadWindows returns only when the filter is done, so its stop
    // flag replaces a completion event.
    for (BOOL more = m_api.threadFirst(threads.Get(), &entry); more && !ctx.finished;
         more = m_api.threadNext(threads.Get(), &entry))
      if (entry.th32OwnerProcessID == pid)
        EnumThreadWindows(entry.th32ThreadID, filterAndApply, reinterpret_cast<LPARAM>(&ctx));
  }

  ToolhelpApi m_api;
};

}  // namespace

std::unique_ptr<IProcessList> makeToolhelpProcessList() {
  ToolhelpApi api;
  if (!api.load()) return nullptr;
  return std::make_unique<CToolhelpProcessList>(api);
}

}  // namespace vexa::exec
