#pragma once
// Dialog templates built in memory, so that tests of dialog code need no
// resource script of their own.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::test {

class CDialogTemplate {
 public:
  enum ControlClass : WORD { kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kComboBox = 0x85 };

  CDialogTemplate(const std::wstring& title, short cx, short cy, DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU);
  CDialogTemplate& add(ControlClass cls, WORD id, const std::wstring& text, short x, short y, short cx, short cy,
                       DWORD style = 0);
  const DLGTEMPLATE& get() const { return *reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

 private:
  void word(WORD w) { m_words.push_back(w); }
  void dword(DWORD d);
  void text(const std::wstring& s);
  void align();

  std::vector<WORD> m_words;
};

}  // namespace vexa::test
