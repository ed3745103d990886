#pragma once
// The list of windows the main window keeps for window names in actions
// (message 0x46B) and the window picker: every top-level window, visible or
// not, with its child windows beneath it.
#include <windows.h>

#include <string_view>
#include <vector>

#include "vexa/exec/actions/window_pattern.h"

namespace vexa::exec {

class CWindowList {
 public:
  // With `children` false only the top level is collected: most names need
  // no more, and collecting every child is the costly part. `visibleOnly`
  // leaves out hidden windows at every level.
  void refresh(bool visibleOnly = false, bool children = true);
  bool hasChildren() const { return m_children; }
  bool empty() const { return m_windows.empty(); }
  const std::vector<WindowEntry>& windows() const { return m_windows; }
  // The first window the name addresses that still exists; null otherwise.
  HWND find(std::string_view name) const;

 private:
  std::vector<WindowEntry> m_windows;
  bool m_children = false;
};

// A window's entry (title and class in UTF-8) without its children.
WindowEntry windowEntryOf(HWND window);

}  // namespace vexa::exec
