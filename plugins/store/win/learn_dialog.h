#pragma once
// The "Learn" window: a remote and a button name, and a code the receiver
// sends twice (0x7FFF, wParam 0, lParam = code).
#include <functional>
#include <string>

#include "plugins/store/learn_state.h"
#include "plugins/store/win/store_ui.h"
#include "vexa/winlib/dialog.h"

namespace vexa::store {

class CLearnDialog : public win::CModalDialog {
 public:
  // learned(remote, command, replacedCode?) runs after each button is stored.
  using Learned = std::function<void(const std::string& remote, const std::string& command)>;
  using Removed = std::function<void(const std::string& remote, const std::string& command)>;
  CLearnDialog(const StoreUi& ui, std::string remote, Learned learned, Removed removed)
      : m_ui(ui), m_learn(ui.learnRules), m_remote(std::move(remote)), m_learned(std::move(learned)),
        m_removed(std::move(removed)) {}

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
  void OnOK() override;

 private:
  void OnCode(uint32_t code);
  void ResetLearning();
  bool Save();
  int Ask(const std::string& text, UINT type) const;

  const StoreUi& m_ui;
  CLearnState m_learn;
  std::string m_remote;
  Learned m_learned;
  Removed m_removed;
};

}  // namespace vexa::store
