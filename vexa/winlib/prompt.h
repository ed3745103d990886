#pragma once
// One way to ask the user: every question and message box of the program
// goes through a prompt, which tests replace to answer.
#include <windows.h>

#include <functional>
#include <string>

namespace vexa::win {

class IPrompt {
 public:
  virtual ~IPrompt() = default;
  // `type` holds the buttons and the icon (MB_...); returns IDOK, IDYES, IDNO or IDCANCEL.
  virtual int Ask(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) = 0;
};

// Message boxes.
class CMessageBoxPrompt final : public IPrompt {
 public:
  int Ask(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) override;
};

// The message boxes every owner uses unless it was given another prompt.
IPrompt& MessageBoxes();

// Answers with a function (tests, and owners that must log what was asked).
class CPromptFunction final : public IPrompt {
 public:
  using Answer = std::function<int(const std::wstring& text, const std::wstring& title, UINT type)>;
  explicit CPromptFunction(Answer answer) : m_answer(std::move(answer)) {}
  int Ask(HWND, const std::wstring& text, const std::wstring& title, UINT type) override {
    return m_answer ? m_answer(text, title, type) : IDCANCEL;
  }

 private:
  Answer m_answer;
};

}  // namespace vexa::win
