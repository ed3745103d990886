#pragma once
// What a plug-in tells the store's dialogs: its captions and hint, how it
// learns, and the hooks into its receiver.
#include <windows.h>

#include <functional>
#include <string>

#include "plugins/store/command_store.h"
#include "plugins/store/learn_state.h"

namespace vexa::store {

struct StoreUi {
  CCommandStore* store = nullptr;
  std::string caption;    // of every message box
  std::string learnHint;  // above the learn dialog's fields
  LearnRules learnRules;
  // Whether the receiver can learn now; shows its own message when not.
  std::function<bool(HWND owner)> mayLearn;
  // The receiver sends raw codes to the learn window while this is on.
  std::function<void(bool on)> setLearning;
  // Where code 1 goes after every change.
  std::function<HWND()> hostWindow;
};

void notifyStoreChanged(const StoreUi& ui);

}  // namespace vexa::store
