// The action fields a configuration carries: any text parses without
// reading past its end, and what parses keeps its promises.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vexa/exec/actions/display_mode_text.h"
#include "vexa/exec/actions/keystroke_text.h"
#include "vexa/exec/actions/post_message_text.h"
#include "vexa/exec/actions/status_text.h"
#include "vexa/exec/actions/window_pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's size: ASan sees any read past its end.
  const std::string input(reinterpret_cast<const char*>(data), size);
  const auto keys = vexa::parseKeystrokeText(input, [](char32_t c) -> std::optional<vexa::KeyPress> {
    if (c < 0x20 || c > 0x7E) return std::nullopt;
    return vexa::KeyPress{static_cast<uint8_t>(c)};
  });
  for (const auto& k : keys.keys)
    if (k.virtualKey == 0) std::abort();
  (void)vexa::parsePostMessageText(input);
  (void)vexa::parseDisplayModeText(input);
  if (vexa::statusText("Window Title: %s", input).size() > vexa::kMaxActionStatus) std::abort();
  const std::vector<vexa::WindowEntry> list = {{1, "Editor", "Frame", {{2, "Child", "Edit", {}}}}};
  (void)vexa::findWindowEntry(list, input);
  return 0;
}
