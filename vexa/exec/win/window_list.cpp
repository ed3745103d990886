#include "vexa/exec/win/window_list.h"

#include <map>

#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

struct Collect {
  std::vector<HWND> windows;
};

BOOL CALLBACK collect(HWND window, LPARAM lp) {
  reinterpret_cast<Collect*>(lp)->windows.push_back(window);
  return TRUE;
}

// Never a message: a window of a thread that does not answer (one of our own
// process's, even) would hold the main window for ever.
std::string textOf(HWND window) {
  wchar_t text[512] = {};
  const int n = InternalGetWindowText(window, text, 512);
  return n > 0 ? win::toUtf8(std::wstring_view(text, static_cast<size_t>(n))) : std::string();
}

// Children in a tree under `parent`: EnumChildWindows lists every descendant flat.
void addChildren(WindowEntry& parent, bool visibleOnly) {
  Collect all;
  EnumChildWindows(reinterpret_cast<HWND>(parent.handle), collect, reinterpret_cast<LPARAM>(&all));
  std::map<HWND, std::vector<HWND>> byParent;
  for (HWND child : all.windows)
    if (!visibleOnly || IsWindowVisible(child)) byParent[GetParent(child)].push_back(child);
  // Depth-first from the top window; a window whose parent is not listed is skipped.
  std::vector<std::pair<WindowEntry*, HWND>> pending{{&parent, reinterpret_cast<HWND>(parent.handle)}};
  while (!pending.empty()) {
    auto [entry, handle] = pending.back();
    pending.pop_back();
    auto it = byParent.find(handle);
    if (it == byParent.end()) continue;
    entry->children.reserve(it->second.size());
    for (HWND child : it->second) entry->children.push_back(windowEntryOf(child));
    for (size_t i = 0; i < it->second.size(); ++i)
      pending.emplace_back(&entry->children[i], it->second[i]);
  }
}

}  // namespace

WindowEntry windowEntryOf(HWND window) {
  WindowEntry e;
  e.handle = reinterpret_cast<uintptr_t>(window);
  e.title = textOf(window);
  wchar_t cls[256] = {};
  GetClassNameW(window, cls, 256);
  e.className = win::toUtf8(cls);
  return e;
}

void CWindowList::refresh(bool visibleOnly, bool children) {
  Collect top;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&top));
  std::vector<WindowEntry> windows;
  windows.reserve(top.windows.size());
  for (HWND window : top.windows) {
    if (visibleOnly && !IsWindowVisible(window)) continue;
    WindowEntry entry = windowEntryOf(window);
    if (entry.title.empty() && entry.className.empty()) continue;
    if (children) addChildren(entry, visibleOnly);
    windows.push_back(std::move(entry));
  }
  m_windows = std::move(windows);
  m_children = children;
}

HWND CWindowList::find(std::string_view name) const {
  const WindowEntry* entry = findWindowEntry(m_windows, name);
  if (!entry) return nullptr;
  const HWND window = reinterpret_cast<HWND>(entry->handle);
  return IsWindow(window) ? window : nullptr;
}

}  // namespace vexa::exec
