// Any bytes: either a clear ArchiveError, or a tree that writes back to a
// form that reads to the same tree, and builds a command tree.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vexa/base/errors.h"
#include "vexa/base/windows_1252.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/codec/profile_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const vexa::CWindows1252 codePage;  // every byte has a character: bytes read are bytes written
  vexa::CProfileTree tree;
  try {
    vexa::readProfileBinary(input, tree, codePage);
  } catch (const vexa::ArchiveError&) {
    return 0;
  }
  const std::string written = vexa::writeProfileBinary(tree, codePage);
  vexa::CProfileTree again;
  vexa::readProfileBinary(written, again, codePage);
  if (vexa::writeProfileBinary(again, codePage) != written) std::abort();
  vexa::CCmdTree commands;
  vexa::loadCommandTree(commands, tree);
  vexa::CProfileTree saved;
  vexa::saveCommandTree(commands, saved);
  return 0;
}
