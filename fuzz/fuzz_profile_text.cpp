// Any text reads; what is written reads back to the same text; the command
// tree built from it saves again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vexa/model/cmd_tree_store.h"
#include "vexa/model/config_check.h"
#include "vexa/codec/profile_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  vexa::CProfileTree tree;
  vexa::readProfileText(input, tree);
  vexa::checkCommandKeys(tree);
  vexa::CCmdTree commands;
  vexa::loadCommandTree(commands, tree);
  vexa::CProfileTree saved;
  vexa::saveCommandTree(commands, saved);
  // Saved trees hold only names the model accepts, so they survive the text form.
  const std::string text = vexa::writeProfileText(saved);
  vexa::CProfileTree again;
  vexa::readProfileText(text, again);
  if (vexa::writeProfileText(again) != text) std::abort();
  return 0;
}
