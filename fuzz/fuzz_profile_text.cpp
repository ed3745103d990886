// Any text reads; what is written reads back to the same text; the command
// tree built from it saves again, and straight from the tree to the same
// text; read straight into the command tree it builds the same tree.
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
  const auto loaded = vexa::loadCommandTree(commands, tree);
  vexa::CProfileTree saved;
  vexa::saveCommandTree(commands, saved);
  // Saved trees hold only names the model accepts, so they survive the text form.
  const std::string text = vexa::writeProfileText(saved);
  const vexa::CUtf8CodePage utf8;
  if (vexa::encodeCommandTree(commands, vexa::ProfileEncoding::Text, utf8) != text) std::abort();
  // Read straight into the command tree (text in sections of tree order), or
  // through the key tree after all: the same tree and the same problems.
  if (vexa::looksLikeText(input)) {
    vexa::CCmdTree straight;
    const auto direct = vexa::decodeCommandTree(straight, input, utf8);
    if (direct.ok != loaded.ok || direct.problems != loaded.problems) std::abort();
    if (vexa::encodeCommandTree(straight, vexa::ProfileEncoding::Text, utf8) != text) std::abort();
  }
  vexa::CProfileTree again;
  vexa::readProfileText(text, again);
  if (vexa::writeProfileText(again) != text) std::abort();
  return 0;
}
