#include "dialog_template.h"

namespace vexa::test {

CDialogTemplate::CDialogTemplate(const std::wstring& title, short cx, short cy, DWORD style) {
  dword(style | DS_SETFONT);
  dword(0);  // extended style
  word(0);   // controls, counted as they are added
  for (short v : {short(0), short(0), cx, cy}) word(static_cast<WORD>(v));
  word(0);  // no menu
  word(0);  // the standard class
  text(title);
  word(8);
  text(L"MS Shell Dlg");
}

CDialogTemplate& CDialogTemplate::add(ControlClass cls, WORD id, const std::wstring& caption, short x, short y,
                                      short cx, short cy, DWORD style) {
  align();
  dword(WS_CHILD | WS_VISIBLE | style);
  dword(0);
  for (short v : {x, y, cx, cy}) word(static_cast<WORD>(v));
  word(id);
  word(0xFFFF);
  word(cls);
  text(caption);
  word(0);  // no creation data
  ++m_words[4];  // DLGTEMPLATE::cdit sits after the two style words
  return *this;
}

void CDialogTemplate::dword(DWORD d) {
  word(static_cast<WORD>(d & 0xFFFF));
  word(static_cast<WORD>(d >> 16));
}

void CDialogTemplate::text(const std::wstring& s) {
  for (wchar_t c : s) word(static_cast<WORD>(c));
  word(0);
}

void CDialogTemplate::align() {
  if (m_words.size() % 2) word(0);
}

}  // namespace vexa::test
