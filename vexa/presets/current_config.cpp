#include "vexa/presets/current_config.h"

#include <system_error>

#include "vexa/base/errors.h"
#include "vexa/base/file_io.h"

namespace vexa {

namespace {
// A long list helps nobody in a message box; the rest is counted.
constexpr size_t kProblemsShown = 20;
}  // namespace

std::filesystem::path CCurrentConfig::backupFile() const {
  std::filesystem::path backup = m_file;
  backup += ".bak";
  return backup;
}

LoadResult CCurrentConfig::load(CCmdTree& tree, const std::function<void(const std::string&)>& status) {
  LoadResult result = loadCommandPart(m_file, tree, m_codePage, status);
  if (!result.error.empty()) tree.clear();
  m_loadedWithProblems = !result.ok || !result.error.empty() || !result.problems.empty();
  m_holds = loadHolds(holdsFile(), tree, m_codePage);
  return result;
}

void CCurrentConfig::save(const CCmdTree& tree) {
  if (m_loadedWithProblems) {
    std::error_code ec;
    if (std::filesystem::exists(m_file, ec)) writeFileAtomically(backupFile(), readFileBytes(m_file));
  }
  saveCommandPart(m_file, tree, m_codePage);
  m_loadedWithProblems = false;
  // Settings that could not be read are not replaced by none at all.
  if (!m_holds.error.empty() && tree.holds().entries(tree).empty()) return;
  saveHolds(holdsFile(), tree, m_codePage);
  m_holds.error.clear();
}

std::string loadProblemsMessage(const std::filesystem::path& file, const LoadResult& result) {
  const std::string name = file.filename().string();
  const std::string backup = name + ".bak";
  if (!result.error.empty())
    return "The configuration could not be read:\n" + result.error +
           "\n\nVexa starts with an empty configuration. The file stays as it is until you save; "
           "saving keeps a copy of it as \"" + backup + "\".";
  if (result.problems.empty()) return {};
  std::string text = "Some of the configuration in \"" + file.string() + "\" could not be loaded:\n\n";
  for (size_t i = 0; i < result.problems.size() && i < kProblemsShown; ++i) text += result.problems[i] + "\n";
  if (result.problems.size() > kProblemsShown)
    text += "... and " + std::to_string(result.problems.size() - kProblemsShown) + " more\n";
  text += "\nEverything else was loaded. The file stays as it is until you save; saving keeps a copy of it as \"" +
          backup + "\".";
  return text;
}

std::string replaceProblemFileQuestion(const std::filesystem::path& file, const std::filesystem::path& backup) {
  return "\"" + file.filename().string() +
         "\" was loaded with problems, so saving replaces it with less than it holds.\n"
         "A copy of the file as it was read is kept as \"" + backup.filename().string() + "\".\n\nSave anyway?";
}

}  // namespace vexa
