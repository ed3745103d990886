#pragma once
// Answers the main window's questions for as long as it lives: the answer
// function sees the text and the buttons (MB_OK, MB_YESNO, MB_YESNOCANCEL).
#include <windows.h>

#include <functional>
#include <string>

#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/prompt.h"

namespace vexa::test {

class CWindowAnswers {
 public:
  using Answer = std::function<int(const std::wstring& text, UINT buttons)>;
  CWindowAnswers(shell::CMainWindow& window, Answer answer)
      : m_window(window), m_prompt([answer = std::move(answer)](const std::wstring& text, const std::wstring&, UINT type) {
          return answer(text, type & MB_TYPEMASK);
        }) {
    m_window.SetPrompt(&m_prompt);
  }
  ~CWindowAnswers() { m_window.SetPrompt(nullptr); }
  CWindowAnswers(const CWindowAnswers&) = delete;
  CWindowAnswers& operator=(const CWindowAnswers&) = delete;

 private:
  shell::CMainWindow& m_window;
  win::CPromptFunction m_prompt;
};

}  // namespace vexa::test
