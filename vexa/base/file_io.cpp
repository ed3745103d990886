#include "vexa/base/file_io.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "vexa/base/errors.h"
#include "vexa/base/utf8_path.h"

namespace vexa {

std::string readFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) VEXA_THROW(FileError, "Cannot open \"" + utf8FromPath(file) + "\" for reading");
  // One read of the size the file has, then whatever it grew by meanwhile.
  std::string bytes;
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (!ec) {
    bytes.resize(static_cast<size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
  }
  if (!in.bad() && !in.eof()) bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) VEXA_THROW(FileError, "Cannot read \"" + utf8FromPath(file) + "\"");
  return bytes;
}

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  writeFileAtomically(file, [bytes](std::ostream& out) { out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); });
}

void writeFileAtomically(const std::filesystem::path& file, const std::function<void(std::ostream&)>& write) {
  std::filesystem::path temp = file;
  temp += ".tmp";
  const auto dropTemp = [&temp] {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
  };
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) VEXA_THROW(FileError, "Cannot create \"" + utf8FromPath(temp) + "\"");
    try {
      write(out);
    } catch (...) {
      out.close();
      dropTemp();
      throw;
    }
    out.flush();
    if (!out) {
      out.close();
      dropTemp();
      VEXA_THROW(FileError, "Cannot write \"" + utf8FromPath(temp) + "\"");
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, file, ec);
  if (ec) {
    dropTemp();
    VEXA_THROW(FileError, "Cannot replace \"" + utf8FromPath(file) + "\": " + ec.message());
  }
}

}  // namespace vexa
