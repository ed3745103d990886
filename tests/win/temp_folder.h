#pragma once
// A fresh folder below the temporary folder, removed with everything in it.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vexa::test {

class CTempFolder {
 public:
  CTempFolder() {
    static int counter = 0;
    m_path = std::filesystem::temp_directory_path() /
             ("vexa-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
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

 private:
  std::filesystem::path m_path;
};

inline void writeFile(const std::filesystem::path& file, const std::string& content) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}

inline std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vexa::test
