#pragma once
// The current configuration file ("current.vcp") as the program holds it
// from start to quit. A file that loaded with problems still holds what the
// tree lacks, so it is never replaced silently: the first save afterwards
// keeps the file as it was read beside it, as "<file>.bak".
#include <filesystem>
#include <functional>
#include <string>

#include "vexa/base/code_page.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/presets/config_files.h"
#include "vexa/presets/holds_file.h"

namespace vexa {

class CCurrentConfig {
 public:
  // The file is in `codePage`, which must outlive this object.
  CCurrentConfig(std::filesystem::path file, const ICodePage& codePage)
      : m_file(std::move(file)), m_codePage(codePage) {}

  const std::filesystem::path& file() const { return m_file; }
  std::filesystem::path backupFile() const;

  // Loads everything loadable into `tree` (an unreadable file leaves it
  // empty), and the held-button settings beside it.
  LoadResult load(CCmdTree& tree, const std::function<void(const std::string&)>& status = {});
  // True while saving would replace a file holding more than the tree: the
  // last load had problems and nothing was saved since.
  bool saveReplacesProblemFile() const { return m_loadedWithProblems; }
  // Writes the tree, first keeping the file as it was read when the load had
  // problems, then the held-button settings. Throws FileError; the file is then unchanged.
  void save(const CCmdTree& tree);
  // What the last load made of the held-button settings.
  const HoldsLoadResult& holdsLoad() const { return m_holds; }
  std::filesystem::path holdsFile() const { return currentHoldsFile(m_file); }

 private:
  std::filesystem::path m_file;
  const ICodePage& m_codePage;
  bool m_loadedWithProblems = false;
  HoldsLoadResult m_holds;
};

// One message for everything the load reported; empty when it found nothing.
std::string loadProblemsMessage(const std::filesystem::path& file, const LoadResult& result);
// The question asked before a save replaces a file that loaded with problems.
std::string replaceProblemFileQuestion(const std::filesystem::path& file, const std::filesystem::path& backup);

}  // namespace vexa
