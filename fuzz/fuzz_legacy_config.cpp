// Any legacy file imports without crashing and yields a tree that saves.
#include <cstdint>
#include <string>

#include "vexa/model/cmd_tree_store.h"
#include "vexa/presets/legacy_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const vexa::CIniFile ini = vexa::CIniFile::parse(input);
  vexa::CCmdTree tree;
  vexa::importLegacyConfig(ini, tree);
  vexa::CProfileTree saved;
  vexa::saveCommandTree(tree, saved);
  return 0;
}
