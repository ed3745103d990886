// Any bytes: either a clear ArchiveError, or a tree that writes back to a
// form that reads to the same tree, and builds a command tree. Reading
// straight into the command tree, whole or in pieces, fails or succeeds
// alike and builds the same tree; writing straight from it gives the same
// bytes.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "vexa/base/errors.h"
#include "vexa/base/windows_1252.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/codec/profile_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const vexa::CWindows1252 codePage;  // every byte has a character: bytes read are bytes written
  vexa::CProfileTree tree;
  const bool binary = !vexa::looksLikeText(input);
  try {
    vexa::readProfileBinary(input, tree, codePage);
  } catch (const vexa::ArchiveError& e) {
    if (binary) {
      vexa::CCmdTree straight;
      try {
        vexa::decodeCommandTree(straight, input, codePage);
        std::abort();
      } catch (const vexa::ArchiveError& again) {
        if (std::string(again.what()) != e.what()) std::abort();
      }
      std::istringstream pieces{std::string(input)};
      try {
        vexa::decodeCommandTree(straight, pieces, codePage);
        std::abort();
      } catch (const vexa::ArchiveError& again) {
        if (std::string(again.what()) != e.what()) std::abort();
      }
    }
    return 0;
  }
  const std::string written = vexa::writeProfileBinary(tree, codePage);
  vexa::CProfileTree again;
  vexa::readProfileBinary(written, again, codePage);
  if (vexa::writeProfileBinary(again, codePage) != written) std::abort();
  vexa::CCmdTree commands;
  const auto loaded = vexa::loadCommandTree(commands, tree);
  vexa::CProfileTree saved;
  vexa::saveCommandTree(commands, saved);
  const std::string savedBytes = vexa::writeProfileBinary(saved, codePage);
  if (vexa::encodeCommandTree(commands, vexa::ProfileEncoding::Binary, codePage) != savedBytes) std::abort();
  if (binary) {
    vexa::CCmdTree straight;
    std::istringstream stream{std::string(input)};
    for (const bool inPieces : {false, true}) {
      const auto direct = inPieces ? vexa::decodeCommandTree(straight, stream, codePage)
                                   : vexa::decodeCommandTree(straight, input, codePage);
      if (direct.ok != loaded.ok || direct.problems != loaded.problems) std::abort();
      if (vexa::encodeCommandTree(straight, vexa::ProfileEncoding::Binary, codePage) != savedBytes) std::abort();
    }
  }
  return 0;
}
