#pragma once
// A fresh folder per test below the temporary folder, removed with everything
// in it; and whole-file reading and writing for the tests' fixtures.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace vexa::test {

class CTempFolder {
 public:
  CTempFolder() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() /
             ("vexa-test-" + std::to_string(random()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
  }
  ~CTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  CTempFolder(const CTempFolder&) = delete;
  CTempFolder& operator=(const CTempFolder&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  // Names are UTF-8, as the program's: a narrow path would read them in the ANSI code page on Windows.
  std::filesystem::path operator/(const std::string& name) const {
    return m_path / std::filesystem::path(std::u8string(name.begin(), name.end()));
  }

 private:
  std::filesystem::path m_path;
};

inline void writeFile(const std::filesystem::path& file, const std::string& content) {
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}

inline std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vexa::test
