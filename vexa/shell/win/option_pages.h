#pragma once
// The pages of the "General Config" group that show the program's own
// settings: "General Options" and "TCP/IP Server". Each is a child dialog of
// the main window and tells it when the user changed something.
#include <windows.h>

#include <optional>
#include <string>

#include "vexa/base/program_settings.h"
#include "vexa/winlib/dialog.h"

namespace vexa::shell {

// A field the user left in a state that cannot be saved, and why.
struct PageError {
  int control;
  std::wstring message;
};

class COptionPage : public win::CModelessDialog {
 public:
  bool Create(HWND parent, int templateId);
  // Shows the settings without counting as a change.
  void Show(const ProgramSettings& settings);
  // Takes what the page shows into `settings`; the first field that cannot be
  // saved is returned and nothing of this page is taken.
  virtual std::optional<PageError> Store(ProgramSettings& settings) const = 0;

 protected:
  virtual void Fill(const ProgramSettings& settings) = 0;
  bool OnCommand(int id, int notification, HWND control) override;
  // A page never ends itself: Enter and Esc belong to the main window.
  void OnOK() override {}
  void OnCancel() override {}

  std::optional<uint32_t> Number(int control, uint32_t low, uint32_t high) const;

 private:
  bool m_filling = false;
};

class CGeneralOptionsPage : public COptionPage {
 public:
  std::optional<PageError> Store(ProgramSettings& settings) const override;

 protected:
  void Fill(const ProgramSettings& settings) override;
};

class CServerPage : public COptionPage {
 public:
  std::optional<PageError> Store(ProgramSettings& settings) const override;

 protected:
  void Fill(const ProgramSettings& settings) override;
};

}  // namespace vexa::shell
